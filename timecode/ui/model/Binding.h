#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace timecode {

// Keeps an observer registered while it lives; an empty one registers nothing.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<void> token) : token_(std::move(token)) {}
    explicit operator bool() const { return token_ != nullptr; }
    void cancel() { token_.reset(); }

private:
    std::shared_ptr<void> token_;
};

// Observers of one value, told of every store. Copies share their observers.
class ChangeNotifier {
public:
    Subscription subscribe(std::function<void()> observer) const {
        const uint64_t id = state_->nextId++;
        state_->observers.emplace(id, std::move(observer));
        std::weak_ptr<State> weak = state_;
        return Subscription(std::shared_ptr<void>(nullptr, [weak, id](void *) {
            if (auto state = weak.lock()) {
                state->observers.erase(id);
            }
        }));
    }
    // Observers may subscribe or cancel while they are told: the ones registered when the call
    // starts are told, unless cancelled before their turn.
    void notify() const {
        std::vector<uint64_t> ids;
        for (const auto &entry : state_->observers) {
            ids.push_back(entry.first);
        }
        for (uint64_t id : ids) {
            const auto found = state_->observers.find(id);
            if (found != state_->observers.end()) {
                auto observer = found->second;
                observer();
            }
        }
    }

private:
    struct State {
        std::map<uint64_t, std::function<void()>> observers;
        uint64_t nextId = 0;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Read and write access to a value that lives elsewhere, and optionally a way to hear of its
// changes. Copies are cheap and reach the same value. A timecode view keeps bindings to the
// values its owner holds, writes through them, and rereads them when told of a change.
template <typename T> class Binding {
public:
    using Getter = std::function<T()>;
    using Setter = std::function<void(const T &)>;
    using Observe = std::function<Subscription(std::function<void()>)>;

    Binding(Getter get, Setter set, Observe observe = {})
        : get_(std::move(get)), set_(std::move(set)), observe_(std::move(observe)) {}

    // A value that never changes; writes are dropped.
    static Binding constant(T value) {
        return Binding([value] { return value; }, [](const T &) {});
    }
    // A value of its own, kept alive by every copy of the binding, that tells its observers of
    // every store.
    static Binding variable(T initialValue) {
        struct Box {
            T value;
            ChangeNotifier changed;
        };
        auto box = std::make_shared<Box>(Box{std::move(initialValue), {}});
        return Binding([box] { return box->value; },
                       [box](const T &value) {
                           box->value = value;
                           box->changed.notify();
                       },
                       [box](std::function<void()> observer) {
                           return box->changed.subscribe(std::move(observer));
                       });
    }

    T get() const { return get_(); }
    void set(const T &value) const { set_(value); }
    // Reads, lets the caller change the copy, and writes it back as one store.
    template <typename Change> void modify(Change &&change) const {
        T value = get();
        std::forward<Change>(change)(value);
        set(value);
    }

    bool isObservable() const { return static_cast<bool>(observe_); }
    // Calls the observer after each change of the value, while the subscription lives; an
    // empty subscription when the value cannot be observed.
    Subscription observe(std::function<void()> observer) const {
        return observe_ ? observe_(std::move(observer)) : Subscription();
    }

    // A binding to a part of this value: reads take the part, writes replace it in a fresh
    // read of the whole and write the whole back. Changes are heard through this binding.
    template <typename U>
    Binding<U> projecting(std::function<U(const T &)> part,
                          std::function<void(T &, const U &)> replace) const {
        Binding whole = *this;
        return Binding<U>([whole, part] { return part(whole.get()); },
                          [whole, replace](const U &value) {
                              T copy = whole.get();
                              replace(copy, value);
                              whole.set(copy);
                          },
                          observe_);
    }

private:
    Getter get_;
    Setter set_;
    Observe observe_;
};

} // namespace timecode
