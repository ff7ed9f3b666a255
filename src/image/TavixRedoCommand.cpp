// SPDX-License-Identifier: MIT
#include "image/TavixRedoCommand.h"

#include "image/TavixCommand.h"

bool CTavixRedoCommand::Execute() {
    return m_pCommand->Execute();
}
