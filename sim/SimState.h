#pragma once
#include <memory>
#include <typeindex>
#include <unordered_map>

// State that a simulator area attaches to a GPU, a display or the whole driver without the core
// knowing its type: `gpu.state.Get<SimCoolerState>()` creates it on first use. Copies are deep.
class SimStateBag {
public:
    SimStateBag() = default;
    SimStateBag(const SimStateBag& other) { CopyFrom(other); }
    SimStateBag& operator=(const SimStateBag& other) {
        if (this != &other) {
            items_.clear();
            CopyFrom(other);
        }
        return *this;
    }
    SimStateBag(SimStateBag&&) = default;
    SimStateBag& operator=(SimStateBag&&) = default;

    template <class T>
    T& Get() {
        auto& slot = items_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_unique<Holder<T>>();
        return static_cast<Holder<T>&>(*slot).value;
    }

    template <class T>
    const T* Find() const {
        auto found = items_.find(std::type_index(typeid(T)));
        return found == items_.end() ? nullptr : &static_cast<const Holder<T>&>(*found->second).value;
    }

private:
    struct Item {
        virtual ~Item() = default;
        virtual std::unique_ptr<Item> Clone() const = 0;
    };
    template <class T>
    struct Holder : Item {
        T value{};
        std::unique_ptr<Item> Clone() const override { return std::make_unique<Holder<T>>(*this); }
    };

    void CopyFrom(const SimStateBag& other) {
        for (const auto& [type, item] : other.items_) items_.emplace(type, item->Clone());
    }

    // Hashed, not ordered: on Windows the runtime orders a file-local type against a shared one
    // inconsistently (by address one way, by name the other), which corrupts an ordered map.
    std::unordered_map<std::type_index, std::unique_ptr<Item>> items_;
};
