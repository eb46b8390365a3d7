// CGUIFileOpenDialog: the file open dialog over the file system. Folders are
// listed with the mark "<Folder>" in the left list, files in the right one;
// a folder that cannot be read lists nothing.
#pragma once

#include "gui/CGUIWindow.h"
#include "gui/IGUIFileOpenDialog.h"

#include <vector>

namespace zu::io
{
class IFileSystem;
}

namespace zu::gui
{
class IGUIListBox;
class IGUIStaticText;
} // namespace zu::gui

namespace kelvo::gui
{

class CGUIFileOpenDialog : public CGUIWindow, public zu::gui::IGUIFileOpenDialog
{
  public:
    static constexpr const char* FOLDER_MARK = "<Folder> ";

    // The file system is grabbed. With ownScreen the parent is a modal
    // screen made for the dialog, which goes with it.
    CGUIFileOpenDialog(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                       int32_t id, const zu::core::CString& title, zu::io::IFileSystem* fileSystem,
                       const zu::core::CString& startFolder, bool ownScreen);
    ~CGUIFileOpenDialog() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;

    zu::gui::IGUIWindow* getWindow() override { return this; }
    const zu::core::CString& getFileName() const override { return m_fileName; }
    const zu::core::CString& getFolder() const override { return m_folder; }

    zu::gui::IGUIListBox* getFolderList() const { return m_folderList; }
    zu::gui::IGUIListBox* getFileList() const { return m_fileList; }
    zu::gui::IGUIElement* getOpenButton() const { return m_open; }
    zu::gui::IGUIElement* getCancelButton() const { return m_cancel; }

  private:
    void list(const zu::core::CString& folder);
    // Tells the parent, then leaves the tree.
    void finish(zu::event::GUIEventType type);
    void enter(const zu::core::CString& name);

    zu::io::IFileSystem* m_fileSystem;
    zu::gui::IGUIStaticText* m_path = nullptr;
    zu::gui::IGUIListBox* m_folderList = nullptr;
    zu::gui::IGUIListBox* m_fileList = nullptr;
    zu::gui::IGUIElement* m_open = nullptr;
    zu::gui::IGUIElement* m_cancel = nullptr;
    std::vector<zu::core::CString> m_folderNames;
    std::vector<zu::core::CString> m_filePaths;
    zu::core::CString m_folder;
    zu::core::CString m_fileName;
    bool m_ownScreen;
    bool m_finished = false;
};

} // namespace kelvo::gui
