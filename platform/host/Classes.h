#pragma once
// TComponent: the base of every component. An owner destroys the components it owns.

#include <vector>

#include <platform/host/Types.h>

namespace host {

class TComponent {
public:
    explicit TComponent(TComponent* AOwner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }

    String Name;
    Integer Tag = 0;

    // Called by the form reader once all properties of the component are read.
    virtual void Loaded() {}

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
};

}  // namespace host
