// The component model: objects, persistent objects, components, lists, string lists,
// collections, streams of stored form data.
#pragma once

#include <functional>
#include <string>

class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string ClassName() const { return "TObject"; }
};

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
    // Copies Source into this object; falls back to Source->AssignTo(this).
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// An event is a closure whose first argument is the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;
