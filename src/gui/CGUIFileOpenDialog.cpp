#include "gui/CGUIFileOpenDialog.h"

#include "gui/IGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIListBox.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "io/IFileList.h"
#include "io/IFileSystem.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

CGUIFileOpenDialog::CGUIFileOpenDialog(IGUIEnvironment* environment, IGUIElement* parent,
                                       int32_t id, const zu::core::CString& title,
                                       zu::io::IFileSystem* fileSystem,
                                       const zu::core::CString& startFolder, bool ownScreen)
    : CGUIWindow(environment, parent, id, {0, 0, 300, 300}, false), m_fileSystem(fileSystem),
      m_ownScreen(ownScreen)
{
    setDebugName("CGUIFileOpenDialog");
    if (m_fileSystem) m_fileSystem->grab();
    setText(title);
    IGUISkin* skin = environment->getSkin();
    const int32_t bw = skin->getSize(6), bh = skin->getSize(7);
    // Each part is held by the tree; the dialog borrows them.
    m_path = environment->addStaticText("", {0, 0, 200, 20}, false, false, this, -1, "");
    m_path->setRiverText("center");
    m_folderList = environment->addListBox({0, 0, 150, 150}, this, -1, true);
    m_folderList->setRiverText("br");
    m_fileList = environment->addListBox({0, 0, 300, 150}, this, -1, true);
    m_open = environment->addButton({0, 0, bw, bh}, this, -1, "Open");
    m_open->setRiverText("br");
    m_cancel = environment->addButton({0, 0, bw, bh}, this, -1, "Cancel");
    sortRiver(true, 10, 10, false);
    if (m_parent) centerOnParent();
    list(startFolder);
}

CGUIFileOpenDialog::~CGUIFileOpenDialog()
{
    zu::dropAndClear(m_fileSystem);
}

void CGUIFileOpenDialog::list(const zu::core::CString& folder)
{
    m_folder = folder;
    m_fileName = zu::core::CString();
    m_path->setText(folder);
    m_folderList->clear();
    m_fileList->clear();
    m_folderNames.clear();
    m_filePaths.clear();
    zu::io::IFileList* entries =
        m_fileSystem ? m_fileSystem->createFileList("*", folder, zu::io::EFLK_ALL) : nullptr;
    if (entries)
    {
        for (int32_t i = 0; i < entries->getFileCount(); ++i)
        {
            const zu::core::CString name = entries->getFileName(i);
            if (name == ".") continue;
            if (entries->isDirectory(i))
            {
                m_folderNames.push_back(name);
                m_folderList->addItem(FOLDER_MARK + name, nullptr, 0xFFFFFFFF, false, false);
            }
            else
            {
                m_filePaths.push_back(entries->getFullFileName(i));
                m_fileList->addItem(name, nullptr, 0xFFFFFFFF, false, false);
            }
        }
        entries->drop();
    }
    for (IGUIListBox* box : {m_folderList, m_fileList})
    {
        box->refresh(false);
        box->setSelectable(true);
        box->setSelected(-1);
    }
}

void CGUIFileOpenDialog::enter(const zu::core::CString& name)
{
    zu::core::CString folder = m_folder;
    const size_t slash = folder.rfind('/');
    if (name == ".." && slash != zu::core::CString::npos && folder.substr(slash + 1) != "..")
        folder = slash == 0 ? zu::core::CString("/") : folder.substr(0, slash);
    else
        folder = (folder.endsWith("/") ? folder : folder + "/") + name;
    list(folder);
}

void CGUIFileOpenDialog::finish(GUIEventType type)
{
    if (m_finished) return;
    m_finished = true;
    answerAndRemove(type, m_ownScreen);
}

bool CGUIFileOpenDialog::onEvent(const SEngineEvent& event)
{
    if (event.type != GuiEvent) return CGUIWindow::onEvent(event);
    const IGUIElement* caller = event.gui.caller;
    switch (event.gui.eventType)
    {
    case GuiClicked:
        if (caller == m_open)
        {
            if (!m_fileName.empty()) finish(GuiFileSelected);
            return true;
        }
        if (caller == m_cancel || (caller && caller == getCloseButton()))
        {
            finish(GuiFileDialogCancelled);
            return true;
        }
        break;
    case GuiListBoxChanged:
    case GuiListBoxSelectedAgain:
    {
        const bool again = event.gui.eventType == GuiListBoxSelectedAgain;
        if (caller == m_fileList)
        {
            const int32_t chosen = m_fileList->getSelected();
            m_fileName = chosen >= 0 && chosen < int32_t(m_filePaths.size())
                             ? m_filePaths[size_t(chosen)]
                             : zu::core::CString();
            if (again && !m_fileName.empty()) finish(GuiFileSelected);
            return true;
        }
        if (caller == m_folderList)
        {
            m_fileName = zu::core::CString();
            const int32_t chosen = m_folderList->getSelected();
            if (again && chosen >= 0 && chosen < int32_t(m_folderNames.size()))
                enter(m_folderNames[size_t(chosen)]);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return CGUIWindow::onEvent(event);
}

} // namespace kelvo::gui
