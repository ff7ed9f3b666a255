// SPDX-License-Identifier: MIT
#include "image/TavixUndoCommand.h"

#include "image/TavixCommand.h"

bool CTavixUndoCommand::Execute() {
    return m_pCommand->Unexecute();
}
