#pragma once

// Recycling of operation nodes and cells. Every redraw compiles and frees a
// list per pixel column; keeping the freed objects of the thread for the next
// compile spares the allocator most of that traffic. Objects are ordinary
// `new` allocations, so a cell or node from anywhere may be released here.
// Under AddressSanitizer the pool is bypassed, so that a double release or a
// use after release is still reported.

#include "parser/Parser10.h"

#include <cstddef>

namespace kurvaro {

#if defined(__SANITIZE_ADDRESS__)
#define KURVARO_CELL_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KURVARO_CELL_POOL 0
#endif
#endif
#ifndef KURVARO_CELL_POOL
#define KURVARO_CELL_POOL 1
#endif

namespace cellpool {

#if KURVARO_CELL_POOL

/// A free list of one object type, per thread, holding at most `Limit` objects.
template <typename T> class FreeList
{
public:
    static constexpr std::size_t Limit = 4096;
    ~FreeList()
    {
        closed() = true;
        while (head_ != nullptr) {
            Link* next = head_->next;
            delete reinterpret_cast<T*>(head_);
            head_ = next;
        }
    }
    /// Set once the thread's list is gone (a static parser released at exit
    /// after it): from then on objects go straight to the allocator.
    static bool& closed()
    {
        static thread_local bool flag = false;
        return flag;
    }

    T* take()
    {
        if (head_ == nullptr)
            return new T();
        Link* l = head_;
        head_ = l->next;
        --count_;
        return new (l) T();
    }
    void give(T* object)
    {
        if (count_ >= Limit) {
            delete object;
            return;
        }
        object->~T();
        Link* l = new (object) Link{head_};
        head_ = l;
        ++count_;
    }

private:
    struct Link
    {
        Link* next;
    };
    static_assert(sizeof(T) >= sizeof(Link) && alignof(T) >= alignof(Link));
    Link* head_ = nullptr;
    std::size_t count_ = 0;
};

inline FreeList<double>& cells()
{
    static thread_local FreeList<double> list;
    return list;
}

inline FreeList<OpNode>& nodes()
{
    static thread_local FreeList<OpNode> list;
    return list;
}

inline double* newCell(double value)
{
    if (FreeList<double>::closed())
        return new double(value);
    double* c = cells().take();
    *c = value;
    return c;
}
inline void deleteCell(double* c)
{
    if (c == nullptr)
        return;
    if (FreeList<double>::closed())
        delete c;
    else
        cells().give(c);
}
inline OpNode* newNode()
{
    return FreeList<OpNode>::closed() ? new OpNode() : nodes().take();
}
inline void deleteNode(OpNode* n)
{
    if (n == nullptr)
        return;
    if (FreeList<OpNode>::closed())
        delete n;
    else
        nodes().give(n);
}

#else

inline double* newCell(double value)
{
    return new double(value);
}
inline void deleteCell(double* c)
{
    delete c;
}
inline OpNode* newNode()
{
    return new OpNode();
}
inline void deleteNode(OpNode* n)
{
    delete n;
}

#endif

} // namespace cellpool

} // namespace kurvaro
