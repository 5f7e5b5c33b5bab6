#pragma once
// Lets observers follow a control without the control knowing what they
// serve. Changes only raise a pending flag; the editor's redraw check
// delivers them, so a burst of changes between two checks reaches each
// observer once.
#include <memory>
#include <vector>

#include "editor/IObserverInterface.h"
#include "editor/RelaxedAtomic.h"

namespace mg {

class ISubject {
public:
    ISubject() = default;
    // Frees the list only: observers belong to whoever made them.
    virtual ~ISubject();
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;

    // Appends the observer unless it is already registered (or null).
    void AddObserver(IObserverInterface* observer);
    // With observers and a pending change: clears the flag, then calls each
    // observer once in registration order. Otherwise nothing, and a pending
    // flag without observers stays set.
    void NotifyObservers();

    bool NotificationPending() const { return notificationPending_; }
    int ObserverCount() const { return observers_ ? static_cast<int>(observers_->size()) : 0; }

protected:
    void SetNotificationPending() { notificationPending_ = true; }

private:
    std::unique_ptr<std::vector<IObserverInterface*>> observers_;
    // Raised by host threads too (a value arriving from the plug-in side).
    RelaxedAtomic<bool> notificationPending_{false};
};

} // namespace mg
