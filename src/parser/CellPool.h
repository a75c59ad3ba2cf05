#pragma once

// Recycling of operation nodes and cells. Every redraw compiles and frees a
// list per pixel column; keeping the freed objects of the thread for the next
// compile spares the allocator most of that traffic. Objects are ordinary
// `new` allocations, so a cell or node from anywhere may be released here.
//
// Under AddressSanitizer the pool stays in use, so that the sanitizer run
// exercises the code that ships: a kept object is poisoned, so that any use
// after its release is reported, and releasing it again is reported too.

#include "parser/Parser10.h"

#include <cstddef>
#include <memory>
#include <new>

namespace kurvaro {

#if defined(__SANITIZE_ADDRESS__)
#define KURVARO_POISON_POOL 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KURVARO_POISON_POOL 1
#endif
#endif

#ifdef KURVARO_POISON_POOL
#include <sanitizer/asan_interface.h>
#endif

namespace cellpool {

/// The objects of one type a thread has released, at most `Limit` of them.
template <typename T> class FreeList
{
public:
    static constexpr std::size_t Limit = 4096;

    FreeList() = default;
    FreeList(const FreeList&) = delete;
    FreeList& operator=(const FreeList&) = delete;
    ~FreeList()
    {
        while (count_ > 0) {
            T* object = items_[--count_];
            revive(object);
            ::operator delete(object);
        }
    }

    T* take()
    {
        if (count_ == 0)
            return new T();
        T* object = items_[--count_];
        revive(object);
        return new (object) T();
    }

    void give(T* object)
    {
        if (object == nullptr)
            return;
#ifdef KURVARO_POISON_POOL
        // Released before: this read of poisoned memory makes the sanitizer
        // report the second release here.
        if (__asan_address_is_poisoned(object))
            static_cast<void>(*reinterpret_cast<volatile const char*>(object));
#endif
        if (items_ == nullptr)
            items_ = std::make_unique<T*[]>(Limit);
        if (count_ == Limit) {
            delete object;
            return;
        }
        object->~T();
#ifdef KURVARO_POISON_POOL
        ASAN_POISON_MEMORY_REGION(object, sizeof(T));
#endif
        items_[count_++] = object;
    }

private:
    static void revive([[maybe_unused]] T* object)
    {
#ifdef KURVARO_POISON_POOL
        ASAN_UNPOISON_MEMORY_REGION(object, sizeof(T));
#endif
    }

    std::unique_ptr<T*[]> items_;
    std::size_t count_ = 0;
};

/// The nodes and cells a thread has released.
class Pool
{
public:
    Pool() = default;
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;
    ~Pool() { closed() = true; }

    /// The calling thread's pool; null once it is gone (a static parser
    /// released at exit after it), when objects go straight to the allocator.
    static Pool* local()
    {
        if (closed())
            return nullptr;
        static thread_local Pool pool;
        return &pool;
    }

    FreeList<double> cells;
    FreeList<OpNode> nodes;

private:
    static bool& closed()
    {
        static thread_local bool flag = false;
        return flag;
    }
};

inline double* newCell(Pool* pool, double value)
{
    double* c = pool != nullptr ? pool->cells.take() : new double;
    *c = value;
    return c;
}

inline void deleteCell(Pool* pool, double* c)
{
    if (pool != nullptr)
        pool->cells.give(c);
    else
        delete c;
}

inline OpNode* newNode(Pool* pool)
{
    return pool != nullptr ? pool->nodes.take() : new OpNode();
}

inline void deleteNode(Pool* pool, OpNode* n)
{
    if (pool != nullptr)
        pool->nodes.give(n);
    else
        delete n;
}

} // namespace cellpool

} // namespace kurvaro
