// SPDX-License-Identifier: MIT
// One-shot command that executes again a CTavixCommand it does not own.
#pragma once

#include "image/Command.h"
#include "image/CommandDescriptions.h"

class CTavixCommand;

class CTavixRedoCommand : public CCommand {
public:
    explicit CTavixRedoCommand(CTavixCommand& command) : m_pCommand(&command) {}

    int GetKind() const override { return kKindRedo; }
    bool Execute() override;
    std::unique_ptr<CCommand> CreateUndoCommand() override { return nullptr; }
    std::unique_ptr<CCommand> CreateRedoCommand() override { return nullptr; }
    std::string GetDescription() const override { return img::desc::kRedo; }

private:
    CTavixCommand* m_pCommand; // not owned
};
