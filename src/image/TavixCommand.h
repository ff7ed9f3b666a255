// SPDX-License-Identifier: MIT
// The undoable image operation: a filter applied to the document's image, with a full copy of
// what it overwrites so that undo is a restore rather than an inverse.
#pragma once

#include "image/Command.h"

#include <memory>
#include <string>

class CImageBitmap;
class CImageDocument;
class CImageFilter;

class CTavixCommand : public CCommand {
public:
    // When the copy of what the command overwrites is taken: at construction, or by the history
    // once it knows the copy fits its memory budget (a command never given one runs, but has
    // no undo).
    enum class EUndoCopy { AtOnce, WhenRecorded };

    // Takes the filter; copies what the command will overwrite (the target when given, else the
    // document's image) and remembers the document's modified flag. The target, when not null,
    // receives the filter's result from the image and must outlive the command.
    // Throws CTextException 10 when the copy cannot be allocated.
    CTavixCommand(CImageDocument& doc, std::unique_ptr<CImageFilter> filter,
                  std::string description, CImageBitmap* pTarget = nullptr);
    CTavixCommand(CImageDocument& doc, std::unique_ptr<CImageFilter> filter,
                  std::string description, EUndoCopy copy, CImageBitmap* pTarget = nullptr);
    ~CTavixCommand() override;

    int GetKind() const override { return kKindTavix; }
    // Applies the filter in place (or into the target) and marks the document modified.
    // The image is unchanged when the filter throws.
    bool Execute() override;
    // Restores the copy, with its size and depth, and the modified flag the document had before
    // the last execution (set instead when the document was saved since). False without a copy.
    bool Unexecute();
    // Null without a copy.
    std::unique_ptr<CCommand> CreateUndoCommand() override;
    std::unique_ptr<CCommand> CreateRedoCommand() override;
    std::string GetDescription() const override { return m_strDescription; }
    std::size_t UndoBytes() const noexcept override;
    void TakeUndoCopy() override;

    const CImageFilter& Filter() const noexcept { return *m_pFilter; }
    // Only once the copy has been taken.
    const CImageBitmap& Backup() const noexcept { return *m_pBackup; }

private:
    CImageBitmap& Overwritten() const noexcept { return m_pTarget ? *m_pTarget : *m_pImage; }

    std::unique_ptr<CImageFilter> m_pFilter;
    std::unique_ptr<CImageBitmap> m_pBackup; // same class and depth as what it copies; may be null
    CImageBitmap* m_pImage;                  // not owned: the document's image
    CImageBitmap* m_pTarget;                 // not owned, may be null
    CImageDocument* m_pDoc;                  // not owned
    bool m_bWasModified;
    unsigned m_nSaveCount; // the document's save count when m_bWasModified was taken
    std::string m_strDescription;
};
