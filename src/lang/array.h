// A growable array of int: the catalogue's index of line starts.
#pragma once
#include <stdlib.h>

#include "fileio/error_handler.h"

template <class T>
class Array;

template <>
class Array<int> {
public:
    Array() : data(nullptr), count(0), capacity(0) {}
    ~Array() { free(data); }

    // Appends n elements with unset values; the caller writes them.
    void Add(int n)
    {
        count += n;
        if (capacity >= count)
            return;
        int grown = capacity + capacity / 4 + 32;
        if (grown < count)
            grown = count;
        void* p = realloc(data, static_cast<size_t>(grown) * sizeof(int));
        if (!p)
            ErrHandler.MemoryError();
        data = static_cast<int*>(p);
        capacity = grown;
    }
    // Back to empty, storage freed.
    void Clear()
    {
        free(data);
        data = nullptr;
        count = capacity = 0;
    }
    int Count() const { return count; }
    int* Data() { return data; }
    const int* Data() const { return data; }
    int& operator[](int i) { return data[i]; }
    int operator[](int i) const { return data[i]; }
    int Capacity() const { return capacity; }

private:
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    int* data;
    int count;
    int capacity;
};
