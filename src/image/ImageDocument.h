// SPDX-License-Identifier: MIT
// What an undoable image command needs of the document that owns the image: the image itself,
// the modified flag, the count of saves and a busy indication around long work.
#pragma once

class CImageBitmap;

class CImageDocument {
public:
    virtual ~CImageDocument() = default;

    // The image that commands change in place. It keeps its identity while commands that refer
    // to it live: a document that deletes or replaces it first drops its pending command
    // (CCommandHistory::CommitPending(false)) and clears its history.
    virtual CImageBitmap& ImageForCommands() = 0;

    virtual bool IsImageModified() const = 0;
    virtual void SetImageModified(bool modified) = 0;

    // Number of successful saves so far. Undo compares it with the count at the command's last
    // execution: after a save the restored image differs from the file, whatever the flag was.
    virtual unsigned SaveCount() const = 0;

    // Bracket long work (the wait cursor); calls nest and are always balanced.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}

protected:
    CImageDocument() = default;
    CImageDocument(const CImageDocument&) = default;
    CImageDocument& operator=(const CImageDocument&) = default;
};
