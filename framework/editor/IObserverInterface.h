#pragma once
// Something that follows a subject's changes. It is told that something
// changed, not what: it reads whatever it needs from the subject it watches.
namespace mg {

class IObserverInterface {
public:
    virtual void Update() = 0;
    virtual ~IObserverInterface() = default;

protected:
    IObserverInterface() = default;
    IObserverInterface(const IObserverInterface&) = default;
    IObserverInterface& operator=(const IObserverInterface&) = default;
};

} // namespace mg
