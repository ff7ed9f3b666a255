// SPDX-License-Identifier: MIT
#include "image/CommandMacro.h"

CCommandMacro::CCommandMacro(std::string description) : m_strDescription(std::move(description)) {}

CCommandMacro::~CCommandMacro() = default;

void CCommandMacro::Add(std::unique_ptr<CCommand> command) {
    if (command)
        m_commands.push_back(std::move(command));
}

bool CCommandMacro::Execute() {
    std::size_t done = 0;
    try {
        for (; done < m_commands.size(); ++done) {
            if (!m_commands[done]->Execute()) {
                UndoFirst(done);
                return false;
            }
        }
    } catch (...) {
        UndoFirst(done);
        throw;
    }
    return true;
}

void CCommandMacro::UndoFirst(std::size_t count) noexcept {
    // Best effort while a failure is already on its way to the caller: a part that cannot be
    // undone now stays as it is rather than hiding the first error.
    while (count-- > 0) {
        try {
            if (std::unique_ptr<CCommand> undo = m_commands[count]->CreateUndoCommand())
                undo->Execute();
        } catch (...) {
        }
    }
}

std::unique_ptr<CCommand> CCommandMacro::CreateUndoCommand() {
    auto macro = std::make_unique<CCommandMacro>(m_strDescription);
    for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it) {
        std::unique_ptr<CCommand> undo = (*it)->CreateUndoCommand();
        if (!undo)
            return nullptr;
        macro->Add(std::move(undo));
    }
    return macro;
}

std::unique_ptr<CCommand> CCommandMacro::CreateRedoCommand() {
    auto macro = std::make_unique<CCommandMacro>(m_strDescription);
    for (const auto& command : m_commands) {
        std::unique_ptr<CCommand> redo = command->CreateRedoCommand();
        if (!redo)
            return nullptr;
        macro->Add(std::move(redo));
    }
    return macro;
}

std::string CCommandMacro::GetDescription() const {
    if (!m_strDescription.empty() || m_commands.empty())
        return m_strDescription;
    return m_commands.front()->GetDescription();
}

std::size_t CCommandMacro::UndoBytes() const noexcept {
    std::size_t bytes = 0;
    for (const auto& command : m_commands)
        bytes += command->UndoBytes();
    return bytes;
}

void CCommandMacro::TakeUndoCopy() {
    for (const auto& command : m_commands)
        command->TakeUndoCopy();
}
