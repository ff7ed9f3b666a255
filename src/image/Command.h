// SPDX-License-Identifier: MIT
// Base of the commands kept by the command history: something that runs once and may hand out
// the commands that undo or redo it.
#pragma once

#include "image/ImageObject.h"

#include <cstddef>
#include <memory>
#include <string>

class CCommand : public CImageObject {
public:
    // Values of GetKind().
    static constexpr int kKindTavix = 1;
    static constexpr int kKindUndo = 2;
    static constexpr int kKindRedo = 3;
    static constexpr int kKindMacro = 4;

    virtual int GetKind() const = 0;
    // False when the command did not run; such a command is never recorded.
    virtual bool Execute() { return true; }
    // A new command that undoes / redoes this one, or null when there is none. The returned
    // command may refer to this one and must not outlive it.
    virtual std::unique_ptr<CCommand> CreateUndoCommand() = 0;
    virtual std::unique_ptr<CCommand> CreateRedoCommand() = 0;
    // Short text for the status bar.
    virtual std::string GetDescription() const = 0;

    // Bytes of the copy the command keeps to be undone: taken, or that TakeUndoCopy would take.
    virtual std::size_t UndoBytes() const noexcept { return 0; }
    // Takes that copy unless taken already; the history calls it just before a recorded run.
    // Throws std::bad_alloc or CTextException img::err::kOutOfMemory when the copy cannot be
    // allocated; the command is then as it was.
    virtual void TakeUndoCopy() {}

protected:
    CCommand() = default;
};
