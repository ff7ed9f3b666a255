// SPDX-License-Identifier: MIT
// A command made of an ordered list of commands that it owns, run, undone and redone as one
// step; the history announces its parts one by one.
#pragma once

#include "image/Command.h"

#include <memory>
#include <string>
#include <vector>

class CCommandMacro : public CCommand {
public:
    explicit CCommandMacro(std::string description = {});
    ~CCommandMacro() override;

    void Add(std::unique_ptr<CCommand> command);
    const std::vector<std::unique_ptr<CCommand>>& Commands() const noexcept { return m_commands; }

    int GetKind() const override { return kKindMacro; }
    // Runs the parts in order. When one fails (false or an exception) the parts already run
    // are undone in reverse order, so the macro either runs whole or leaves things as they were;
    // the failure is then reported the same way.
    bool Execute() override;
    // A macro of the parts' undo commands in reverse order, or null when a part has none.
    std::unique_ptr<CCommand> CreateUndoCommand() override;
    // A macro of the parts' redo commands in order, or null when a part has none.
    std::unique_ptr<CCommand> CreateRedoCommand() override;
    // The description given at construction, or the first part's when there was none.
    std::string GetDescription() const override;
    // The parts' copies together; parts that got theirs keep them when a later part fails.
    std::size_t UndoBytes() const noexcept override;
    void TakeUndoCopy() override;

private:
    void UndoFirst(std::size_t count) noexcept;

    std::string m_strDescription;
    std::vector<std::unique_ptr<CCommand>> m_commands;
};
