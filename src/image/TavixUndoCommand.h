// SPDX-License-Identifier: MIT
// One-shot command that undoes a CTavixCommand it does not own.
#pragma once

#include "image/Command.h"
#include "image/CommandDescriptions.h"

class CTavixCommand;

class CTavixUndoCommand : public CCommand {
public:
    explicit CTavixUndoCommand(CTavixCommand& command) : m_pCommand(&command) {}

    int GetKind() const override { return kKindUndo; }
    bool Execute() override;
    std::unique_ptr<CCommand> CreateUndoCommand() override { return nullptr; }
    std::unique_ptr<CCommand> CreateRedoCommand() override { return nullptr; }
    std::string GetDescription() const override { return img::desc::kUndo; }

private:
    CTavixCommand* m_pCommand; // not owned
};
