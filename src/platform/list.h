// TList<T>: the game's doubly linked list of shared objects. Walks survive removing the current or any other
// element, and reach elements appended while they run. Nodes come from a pool (platform/pool.h), so adding to a
// list allocates nothing once it has been that long before. Header-only; used by the pieces, the toolkit and menus.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/pool.h"

template <class T> class TList {
  public:
    using Value = std::shared_ptr<T>;

    struct Node {
        Value value;
        std::shared_ptr<Node> next;
        std::weak_ptr<Node> prevWeak;   // while in the list
        std::shared_ptr<Node> prevKept; // after removal: where the node was, so walks can find their way back
        bool removed = false;
    };
    // A link keeps its node, and a removed node keeps the nodes that followed it (so walks can go on): an element
    // that remembers its own link must hold it as std::weak_ptr<Node>, or element and node keep each other alive.
    using Link = std::shared_ptr<Node>;

    class iterator {
      public:
        iterator() = default;
        explicit iterator(Link n, const TList* l) : node_(std::move(n)), list_(l) {}
        const Value& operator*() const { return node_->value; }
        const Value* operator->() const { return &node_->value; }
        iterator& operator++() {
            node_ = list_->After(node_);
            return *this;
        }
        bool operator==(const iterator& o) const { return node_ == o.node_; }
        bool operator!=(const iterator& o) const { return node_ != o.node_; }
        const Link& link() const { return node_; }

      private:
        Link node_;
        const TList* list_ = nullptr;
    };

    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    // Assigning a list (a fresh one, to reset a struct that holds it) empties this one as Clear does first, so a walk
    // standing in it ends safely.
    TList& operator=(TList&& o) noexcept {
        if (this == &o) return *this;
        Clear();
        head_ = std::move(o.head_);
        tail_ = std::move(o.tail_);
        count_ = std::exchange(o.count_, 0);
        return *this;
    }
    ~TList() { Clear(); }

    Link AddLast(Value v) {
        auto n = std::allocate_shared<Node>(Pool_Allocator<Node>());
        n->value = std::move(v);
        n->prevWeak = tail_;
        if (tail_)
            tail_->next = n;
        else
            head_ = n;
        tail_ = n;
        ++count_;
        return n;
    }
    Link AddFirst(Value v) {
        auto n = std::allocate_shared<Node>(Pool_Allocator<Node>());
        n->value = std::move(v);
        n->next = head_;
        if (head_)
            head_->prevWeak = n;
        else
            tail_ = n;
        head_ = n;
        ++count_;
        return n;
    }
    // Removes the first element equal to v; false when it is not in the list.
    bool Remove(const Value& v) {
        for (Link n = head_; n; n = n->next)
            if (n->value == v) return RemoveLink(n);
        return false;
    }
    // Removes the element behind a link returned by AddLast/AddFirst (or an iterator's link).
    bool RemoveLink(const Link& n) {
        if (!n || n->removed) return false;
        Link prev = n->prevWeak.lock();
        if (prev)
            prev->next = n->next;
        else
            head_ = n->next;
        if (n->next)
            n->next->prevWeak = prev;
        else
            tail_ = prev;
        n->removed = true;
        n->prevKept = prev; // n->next stays: a walk standing on n continues from there
        n->prevWeak.reset();
        --count_;
        return true;
    }
    bool Contains(const Value& v) const {
        for (Link n = head_; n; n = n->next)
            if (n->value == v) return true;
        return false;
    }
    size_t Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    void Clear() {
        while (head_) {
            Link first = head_; // a copy: RemoveLink moves head_
            RemoveLink(first);
        }
    }
    Value First() const { return head_ ? head_->value : Value(); }
    Value Last() const { return tail_ ? tail_->value : Value(); }
    // Element at position i (0-based), null outside the list. Walks the list.
    Value At(size_t i) const {
        for (Link n = head_; n; n = n->next, --i)
            if (i == 0) return n->value;
        return Value();
    }
    // Stable sort; `less(a, b)` orders a before b. With ascending false the order is reversed (equal elements
    // keep their order either way).
    void Sort(const std::function<bool(const T&, const T&)>& less, bool ascending = true) {
        std::vector<Link> nodes;
        nodes.reserve(count_);
        for (Link n = head_; n; n = n->next)
            nodes.push_back(n);
        std::stable_sort(nodes.begin(), nodes.end(), [&](const Link& a, const Link& b) {
            return ascending ? less(*a->value, *b->value) : less(*b->value, *a->value);
        });
        head_.reset();
        tail_.reset();
        Link prev;
        for (const Link& n : nodes) {
            n->prevWeak = prev;
            n->next.reset();
            if (prev)
                prev->next = n;
            else
                head_ = n;
            prev = n;
        }
        tail_ = prev;
    }

    iterator begin() const { return iterator(head_, this); }
    iterator end() const { return iterator(nullptr, this); }

    // The live element after n (n may have been removed since the walk reached it).
    Link After(const Link& n) const {
        if (!n) return nullptr;
        if (!n->removed) return n->next;
        // Forward through nodes removed after n until a live one.
        for (Link m = n->next; m; m = m->next)
            if (!m->removed) return m;
        // Everything after n is gone: continue behind the nearest live node before it, which reaches elements
        // appended meanwhile.
        Link p = n->prevKept;
        while (p && p->removed)
            p = p->prevKept;
        return p ? p->next : head_;
    }

  private:
    Link head_;
    Link tail_;
    size_t count_ = 0;
};
