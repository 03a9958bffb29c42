// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDropEffects.h"

#include "platform/fileops/DropTarget.h"

using namespace dw::platform;

namespace {

struct EffectAction {
    unsigned effect;
    Qt::DropAction action;
};

constexpr EffectAction kPairs[] = {
    {DROPEFFECT_COPY, Qt::CopyAction},
    {DROPEFFECT_MOVE, Qt::MoveAction},
    {DROPEFFECT_LINK, Qt::LinkAction},
};

} // namespace

unsigned DropEffectsOf(Qt::DropActions actions)
{
    unsigned effects = DROPEFFECT_NONE;
    for (const EffectAction& pair : kPairs) {
        if (actions & pair.action)
            effects |= pair.effect;
    }
    return effects;
}

Qt::DropActions DropActionsOf(unsigned effects)
{
    Qt::DropActions actions;
    for (const EffectAction& pair : kPairs) {
        if (effects & pair.effect)
            actions |= pair.action;
    }
    return actions;
}

Qt::DropAction DropActionOf(unsigned effect)
{
    for (const EffectAction& pair : kPairs) {
        if (effect == pair.effect)
            return pair.action;
    }
    return Qt::IgnoreAction;
}

unsigned DragKeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    unsigned keyState = 0;
    if (buttons & Qt::LeftButton)
        keyState |= MK_LBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keyState |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keyState |= MK_CONTROL;
    if (modifiers & Qt::AltModifier)
        keyState |= MK_ALT;
    return keyState;
}

unsigned DropEffectsOfAttributes(SfgaoFlags attributes)
{
    unsigned effects = DROPEFFECT_NONE;
    if (attributes & SFGAO_CANCOPY)
        effects |= DROPEFFECT_COPY;
    if (attributes & SFGAO_CANMOVE)
        effects |= DROPEFFECT_MOVE;
    if (attributes & SFGAO_CANLINK)
        effects |= DROPEFFECT_LINK;
    return effects;
}
