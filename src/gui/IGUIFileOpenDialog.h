// IGUIFileOpenDialog: a window listing the folders and the files of a
// folder; choosing a file and Open (or choosing it again) reports it, Cancel
// or the close button gives up. Either way the dialog removes itself. It is
// an element through its window.
#pragma once

#include "core/CString.h"

namespace zu::gui
{

class IGUIWindow;

class IGUIFileOpenDialog
{
  public:
    virtual IGUIWindow* getWindow() = 0;
    // The path of the chosen file; empty while none is chosen.
    virtual const core::CString& getFileName() const = 0;
    // The folder listed.
    virtual const core::CString& getFolder() const = 0;

  protected:
    ~IGUIFileOpenDialog() = default;
};

} // namespace zu::gui
