// SPDX-License-Identifier: MIT
// Whether the user asked for a save or the program saves on its own (capture output): the
// document manager and the document may treat the two differently (file name, writer options).
#pragma once

enum class ESaveKind { User, Automatic };
