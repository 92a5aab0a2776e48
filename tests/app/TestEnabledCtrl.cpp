// Control groups switched off and back: each control gets its own state
// back. (The window-wide guard is met through the scale bar's dialog.)
#include "app/dialogs/EnabledCtrl.h"

#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

TEST(CtrlEnabledCtrl, RestoresEachControlsOwnState)
{
    QWidget window;
    auto* a = new QPushButton(&window);
    auto* b = new QPushButton(&window);
    auto* c = new QPushButton(&window);
    b->setEnabled(false);

    CCtrlEnabledCtrl enabler;
    // Nothing saved yet.
    EXPECT_EQ(enabler.RestoreGroup({a, b, c}), FALSE);
    EXPECT_TRUE(a->isEnabled());

    EXPECT_EQ(enabler.DisableGroup({a, nullptr, b, c}), TRUE);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(c->isEnabled());
    // Switched off twice by the same group: the first state still counts.
    EXPECT_EQ(enabler.DisableGroup({a}), TRUE);
    EXPECT_EQ(enabler.RestoreGroup({a}), TRUE);
    EXPECT_FALSE(a->isEnabled());

    // Restored in another order: each control gets its own state back.
    EXPECT_EQ(enabler.RestoreGroup({c, nullptr, b, a}), TRUE);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(c->isEnabled());
    EXPECT_EQ(enabler.GetSavedCount(), 0u);
    EXPECT_EQ(enabler.RestoreGroup({a, b, c}), FALSE);

    // A disabled parent does not make a control's saved state "off".
    window.setEnabled(false);
    enabler.DisableGroup({a});
    window.setEnabled(true);
    EXPECT_FALSE(a->isEnabled());
    enabler.RestoreGroup({a});
    EXPECT_TRUE(a->isEnabled());
}

TEST(CtrlEnabledCtrl, GroupsOfOneEnablerDoNotDisturbEachOther)
{
    QWidget window;
    auto* a = new QPushButton(&window);
    auto* shared = new QPushButton(&window);
    auto* c = new QPushButton(&window);
    auto* d = new QPushButton(&window);
    d->setEnabled(false);

    CCtrlEnabledCtrl enabler;
    enabler.DisableGroup({a, shared});
    enabler.DisableGroup({shared, c, d});

    // The first group back: the shared control stays off for the second.
    EXPECT_EQ(enabler.RestoreGroup({a, shared}), TRUE);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(shared->isEnabled());
    EXPECT_FALSE(c->isEnabled());
    // The second group's states were kept.
    EXPECT_EQ(enabler.RestoreGroup({shared, c, d}), TRUE);
    EXPECT_TRUE(shared->isEnabled());
    EXPECT_TRUE(c->isEnabled());
    EXPECT_FALSE(d->isEnabled());

    // A control destroyed while saved is forgotten, the others restored.
    enabler.DisableGroup({a, c});
    delete a;
    EXPECT_EQ(enabler.RestoreGroup({c}), TRUE);
    EXPECT_TRUE(c->isEnabled());
    EXPECT_EQ(enabler.GetSavedCount(), 0u);
}
