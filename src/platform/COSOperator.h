// COSOperator: operating-system services on a POSIX system.
#pragma once

#include "core/IOSOperator.h"

namespace kelvo
{

class COSOperator : public zu::IOSOperator
{
public:
    explicit COSOperator(const zu::core::CString& description);

    zu::core::CString getOperatingSystemVersion() const override { return m_description; }
    void copyToClipboard(const zu::core::CString& text) override;
    zu::core::CString getTextFromClipboard() override;
    zu::core::CString getComputerName() override;
    int32_t getRegistryValue(bool currentUser, const zu::core::CString& keyPath,
                             const zu::core::CString& valueName) override;
    int32_t setRegistryValue(bool currentUser, const zu::core::CString& keyPath,
                             const zu::core::CString& valueName, int32_t value) override;
    int32_t showMessageBox(const zu::core::CString& caption, const zu::core::CString& text,
                           int32_t kind) override;
    bool openFile(const zu::core::CString& path) override;
    uint32_t getProcessId() const override;
    zu::core::CString getExecutablePath() const override { return m_executablePath; }
    void runProcess(const zu::core::CString& name, const zu::core::CString& arguments) override;
    void runElevated(const zu::core::CString& name, const zu::core::CString& parameters) override;
    zu::core::CString getAppDataFolder(const zu::core::CString& subPath) const override;
    zu::core::CString getDocumentsFolder(const zu::core::CString& subPath) const override;
    zu::core::CString getExecutableFolder() const override;
    zu::core::CString getTempFolder() const override;

    // The system's own name and release, for the start-up log.
    static zu::core::CString describeSystem();
    // The running executable's file; empty when it cannot be found.
    static zu::core::CString findExecutablePath();
    // Lets everyone run the file (a fused game written by --fuse).
    static bool makeExecutable(const zu::core::CString& path);
    // Backslashes become "/", and the text ends with exactly one "/".
    static zu::core::CString normaliseFolder(zu::core::CString folder);

private:
    zu::core::CString registryPath() const;

    zu::core::CString m_description;
    zu::core::CString m_computerName;
    zu::core::CString m_executablePath;
    zu::core::CString m_clipboard;
};

} // namespace kelvo
