// SPDX-License-Identifier: MIT
#pragma once
// Between Qt's drag and drop and the namespace's drop targets: Qt's drop
// actions against DROPEFFECT_* values, Qt's keys and buttons against the
// drag key state, and an item's attributes against the effects it allows.

#include "platform/namespace/ShellTypes.h"

#include <Qt>

unsigned DropEffectsOf(Qt::DropActions actions);
Qt::DropActions DropActionsOf(unsigned effects);
// The one action of a single effect; Qt::IgnoreAction for none.
Qt::DropAction DropActionOf(unsigned effect);

unsigned DragKeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// Copy, move and link as the item's SFGAO_CANCOPY, SFGAO_CANMOVE and
// SFGAO_CANLINK allow them.
unsigned DropEffectsOfAttributes(dw::platform::SfgaoFlags attributes);
