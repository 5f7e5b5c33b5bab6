// Observers of controls: registration and delivery once per redraw check.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "editor/IObserverInterface.h"
#include "editor/ISubject.h"

using namespace mg;
using mg::test::EditorTestPlugin;
using mg::test::ProbeControl;

namespace {

class CountingObserver : public IObserverInterface {
public:
    void Update() override { ++updates; }
    int updates = 0;
};

class Subject : public ISubject {
public:
    void Raise() { SetNotificationPending(); }
};

} // namespace

TEST(Subject, ObserverRegisteredTwiceIsCalledOnce)
{
    Subject subject;
    CountingObserver a;
    CountingObserver b;
    subject.AddObserver(&a);
    subject.AddObserver(&b);
    subject.AddObserver(&a);
    subject.AddObserver(nullptr);
    EXPECT_EQ(subject.ObserverCount(), 2);

    subject.Raise();
    subject.NotifyObservers();
    subject.NotifyObservers(); // nothing pending any more
    EXPECT_EQ(a.updates, 1);
    EXPECT_EQ(b.updates, 1);
    EXPECT_FALSE(subject.NotificationPending());
}

TEST(Subject, PendingFlagWaitsForAnObserver)
{
    Subject subject;
    subject.Raise();
    subject.NotifyObservers();
    EXPECT_TRUE(subject.NotificationPending());

    CountingObserver late;
    subject.AddObserver(&late);
    subject.NotifyObservers();
    EXPECT_EQ(late.updates, 1);
}

TEST(Subject, ObserverMayRegisterAnotherWhileBeingTold)
{
    Subject subject;
    CountingObserver second;
    struct Adder : IObserverInterface {
        Subject* s;
        IObserverInterface* other;
        void Update() override { s->AddObserver(other); }
    } adder;
    adder.s = &subject;
    adder.other = &second;
    subject.AddObserver(&adder);
    subject.Raise();
    subject.NotifyObservers();
    EXPECT_EQ(subject.ObserverCount(), 2);
}

TEST(Subject, SeveralChangesBetweenTicksGiveOneUpdate)
{
    EditorTestPlugin plugin;
    IEditorWindow editor(&plugin, 40, 40, 0);
    editor.CreateDrawSurface();
    auto* control = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10));
    editor.AttachControl(control);
    CountingObserver observer;
    control->AddObserver(&observer);

    editor.RedrawTick(); // a new control starts dirty but nothing is pending yet
    EXPECT_EQ(observer.updates, 0);

    control->MarkDirty(false);
    control->SetValueFromPlugin(0.3);
    control->MarkDirty(false);
    editor.RedrawTick();
    EXPECT_EQ(observer.updates, 1);
    editor.RedrawTick();
    EXPECT_EQ(observer.updates, 1);
}

TEST(Subject, ObserversAreToldEvenWhenTheControlIsNotDrawn)
{
    // The observer step runs for every control before the dirty test, so a
    // hidden control's observers hear of its changes too.
    EditorTestPlugin plugin;
    IEditorWindow editor(&plugin, 40, 40, 0);
    editor.CreateDrawSurface();
    auto* hidden = new ProbeControl(&plugin, IRectangle(0, 0, 10, 10));
    editor.AttachControl(hidden);
    hidden->SetHidden(true);
    CountingObserver observer;
    hidden->AddObserver(&observer);
    hidden->SetValueAndPush(1.0);
    editor.RedrawTick();
    EXPECT_EQ(observer.updates, 1);
    EXPECT_EQ(hidden->draws, 0);
}
