// SPDX-License-Identifier: MIT
#include "image/TavixCommand.h"

#include "image/ImageBitmap.h"
#include "image/ImageDocument.h"
#include "image/ImageFilter.h"
#include "image/TavixRedoCommand.h"
#include "image/TavixUndoCommand.h"

#include <cassert>

namespace {

// Keeps BeginBusy/EndBusy balanced when a filter throws.
class CBusyScope {
public:
    explicit CBusyScope(CImageDocument& doc) : m_doc(doc) { m_doc.BeginBusy(); }
    ~CBusyScope() { m_doc.EndBusy(); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    CImageDocument& m_doc;
};

std::unique_ptr<CImageBitmap> CopyOf(const CImageBitmap& bitmap) {
    std::unique_ptr<CImageBitmap> copy = bitmap.CreateEmptyLike();
    copy->CreateCopy(bitmap);
    return copy;
}

} // namespace

CTavixCommand::CTavixCommand(CImageDocument& doc, std::unique_ptr<CImageFilter> filter,
                             std::string description, CImageBitmap* pTarget)
    : CTavixCommand(doc, std::move(filter), std::move(description), EUndoCopy::AtOnce, pTarget) {}

CTavixCommand::CTavixCommand(CImageDocument& doc, std::unique_ptr<CImageFilter> filter,
                             std::string description, EUndoCopy copy, CImageBitmap* pTarget)
    : m_pFilter(std::move(filter)), m_pImage(&doc.ImageForCommands()), m_pTarget(pTarget),
      m_pDoc(&doc), m_bWasModified(doc.IsImageModified()), m_nSaveCount(doc.SaveCount()),
      m_strDescription(std::move(description)) {
    assert(m_pFilter);
    assert(m_pTarget != m_pImage); // the filter reads the image while it writes the target
    if (copy == EUndoCopy::AtOnce)
        m_pBackup = CopyOf(Overwritten());
}

CTavixCommand::~CTavixCommand() = default;

bool CTavixCommand::Execute() {
    CBusyScope busy(*m_pDoc);
    // Taken again on every run: a redo after a save starts from a state whose flag differs
    // from the one the command was built in.
    const bool wasModified = m_pDoc->IsImageModified();
    const unsigned saveCount = m_pDoc->SaveCount();
    if (m_pTarget)
        m_pFilter->Apply(*m_pImage, *m_pTarget);
    else
        m_pFilter->ApplyInPlace(*m_pImage);
    m_bWasModified = wasModified;
    m_nSaveCount = saveCount;
    m_pDoc->SetImageModified(true);
    return true;
}

std::size_t CTavixCommand::UndoBytes() const noexcept {
    // The copy is of the same class and depth as what it copies, so it takes what that takes.
    return (m_pBackup ? *m_pBackup : Overwritten()).MemoryUsed();
}

void CTavixCommand::TakeUndoCopy() {
    // Undo must give back what the command overwrites: with a target that is the target, not
    // the image, which the command leaves alone.
    if (!m_pBackup)
        m_pBackup = CopyOf(Overwritten());
}

bool CTavixCommand::Unexecute() {
    if (!m_pBackup)
        return false;
    Overwritten().CreateCopy(*m_pBackup);
    // A save after the last run wrote the changed image to the file, so the restored one
    // differs from it whatever the flag was before.
    m_pDoc->SetImageModified(m_pDoc->SaveCount() == m_nSaveCount ? m_bWasModified : true);
    return true;
}

std::unique_ptr<CCommand> CTavixCommand::CreateUndoCommand() {
    if (!m_pBackup)
        return nullptr;
    return std::make_unique<CTavixUndoCommand>(*this);
}

std::unique_ptr<CCommand> CTavixCommand::CreateRedoCommand() {
    return std::make_unique<CTavixRedoCommand>(*this);
}
