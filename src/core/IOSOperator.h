// IOSOperator: operating-system services: description, clipboard, registry
// values, message boxes, starting programs and documents, special folders.
// Folders are returned with "/" separators and one trailing "/". The device
// owns the one object (platform/COSOperator); lower layers such as the GUI,
// which pastes from the clipboard, reach it through this interface.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu
{

class IOSOperator : public virtual IUnknown
{
public:
    virtual core::CString getOperatingSystemVersion() const = 0;
    virtual void copyToClipboard(const core::CString& text) = 0;
    virtual core::CString getTextFromClipboard() = 0;
    virtual core::CString getComputerName() = 0;
    virtual int32_t getRegistryValue(bool currentUser, const core::CString& keyPath,
                                     const core::CString& valueName) = 0;
    virtual int32_t setRegistryValue(bool currentUser, const core::CString& keyPath,
                                     const core::CString& valueName, int32_t value) = 0;
    // kind 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel, else OK only. Returns 1 for
    // OK or Yes, 2 for Cancel, 3 for No, 0 otherwise.
    virtual int32_t showMessageBox(const core::CString& caption, const core::CString& text,
                                   int32_t kind) = 0;
    virtual bool openFile(const core::CString& path) = 0;
    virtual uint32_t getProcessId() const = 0;
    virtual core::CString getExecutablePath() const = 0;
    virtual void runProcess(const core::CString& name, const core::CString& arguments) = 0;
    virtual void runElevated(const core::CString& name, const core::CString& parameters) = 0;
    virtual core::CString getAppDataFolder(const core::CString& subPath) const = 0;
    virtual core::CString getDocumentsFolder(const core::CString& subPath) const = 0;
    virtual core::CString getExecutableFolder() const = 0;
    virtual core::CString getTempFolder() const = 0;
};

} // namespace zu
