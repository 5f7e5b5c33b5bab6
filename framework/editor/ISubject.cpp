#include "ISubject.h"

#include <algorithm>

namespace mg {

ISubject::~ISubject() = default;

void ISubject::AddObserver(IObserverInterface* observer)
{
    if (!observer) return;
    if (!observers_) observers_ = std::make_unique<std::vector<IObserverInterface*>>();
    if (std::find(observers_->begin(), observers_->end(), observer) != observers_->end()) return;
    observers_->push_back(observer);
}

void ISubject::NotifyObservers()
{
    if (!observers_) return;
    if (!notificationPending_.Exchange(false)) return;
    // By index: an observer may register another one while being told.
    for (std::size_t i = 0; i < observers_->size(); ++i) (*observers_)[i]->Update();
}

} // namespace mg
