// The bounds-checked growable array that holds every byte string, event list
// and track table of the model. Misuse ends the program: callers never see an
// error code.
#ifndef VENNOR_SIGCOLLECTION_H
#define VENNOR_SIGCOLLECTION_H

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <utility>

template <class T> class SigCollection {
  public:
    SigCollection() = default;
    explicit SigCollection(int n);
    SigCollection(const SigCollection& other);
    SigCollection& operator=(const SigCollection& other);
    ~SigCollection();

    T& operator[](int index);
    const T& operator[](int index) const;

    void grow(int64_t amount = 0);
    int64_t setSize(int64_t n);
    int64_t getSize() const { return size; }
    int64_t getAllocSize() const { return allocSize; }
    void setAllocSize(int64_t n);
    void shrinkTo(int64_t n);
    void append(const T& element);
    // Moves the element in instead of copying it; same growth rule as append.
    void appendMove(T& element);

    void setAutoGrow(bool flag) { autoGrow = flag; }
    bool getAutoGrow() const { return autoGrow; }
    void setGrowth(int64_t step) { growthStep = step; }
    int64_t getGrowth() const { return growthStep; }
    void setMaxSize(int64_t n) { maxSize = n; }
    int64_t getMaxSize() const { return maxSize; }

    // Raw view of the storage, for block writes and sorting.
    T* getBase() { return storage; }
    const T* getBase() const { return storage; }

  protected:
    int64_t size = 0;
    int64_t allocSize = 0;
    T* storage = nullptr;
    bool autoGrow = false;
    int64_t growthStep = 8;
    int64_t maxSize = 0;

    [[noreturn]] void badIndex(int index) const;
    // Whether p points at one of the elements in use (std::less gives a total
    // order even for pointers into unrelated blocks).
    bool holds(const T* p) const {
        return storage != nullptr && !std::less<const T*>()(p, storage) &&
               std::less<const T*>()(p, storage + size);
    }
    void reallocate(int64_t slots);
};

template <class T>
SigCollection<T>::SigCollection(int n)
    : size(n < 0 ? 0 : n), allocSize(n < 0 ? 0 : n), growthStep(n < 0 ? 0 : n) {
    if (allocSize > 0) {
        storage = new T[allocSize];
    }
}

template <class T>
SigCollection<T>::SigCollection(const SigCollection& other)
    : size(other.size), allocSize(other.size), autoGrow(other.autoGrow),
      growthStep(other.growthStep), maxSize(other.maxSize) {
    if (allocSize > 0) {
        storage = new T[allocSize];
        for (int64_t i = 0; i < size; i++) {
            storage[i] = other.storage[i];
        }
    }
}

template <class T> SigCollection<T>& SigCollection<T>::operator=(const SigCollection& other) {
    if (this == &other) {
        return *this;
    }
    if (allocSize < other.size) {
        delete[] storage;
        storage = other.size > 0 ? new T[other.size] : nullptr;
        allocSize = other.size;
        autoGrow = other.autoGrow;
        growthStep = other.growthStep;
        maxSize = other.maxSize;
    }
    size = other.size;
    for (int64_t i = 0; i < size; i++) {
        storage[i] = other.storage[i];
    }
    return *this;
}

template <class T> SigCollection<T>::~SigCollection() {
    if (allocSize != 0) {
        delete[] storage;
    }
}

template <class T> void SigCollection<T>::badIndex(int index) const {
    std::cerr << "Error: accessing invalid array location " << index << " Maximum is " << size - 1
              << std::endl;
    std::exit(1);
}

template <class T> T& SigCollection<T>::operator[](int index) {
    if (autoGrow && index == size) {
        if (size == allocSize) {
            grow(0);
        }
        size++;
        return storage[index];
    }
    if (index < 0 || index >= size) {
        badIndex(index);
    }
    return storage[index];
}

template <class T> const T& SigCollection<T>::operator[](int index) const {
    if (index < 0 || index >= size) {
        badIndex(index);
    }
    return storage[index];
}

template <class T> void SigCollection<T>::reallocate(int64_t slots) {
    T* block = new T[slots];
    // Callers never shrink below size; the bound also keeps the copy inside the block.
    const int64_t keep = size < slots ? size : slots;
    for (int64_t i = 0; i < keep; i++) {
        block[i] = storage[i];
    }
    delete[] storage;
    storage = block;
    allocSize = slots;
}

template <class T> void SigCollection<T>::grow(int64_t amount) {
    if (amount <= 0) {
        amount = growthStep;
    }
    // A zero step would never make room; one slot keeps appends inside the block.
    if (amount <= 0) {
        amount = 1;
    }
    int64_t slots = allocSize + amount;
    if (maxSize != 0 && slots > maxSize) {
        std::cerr << "Error: Maximum size allowed for array exceeded." << std::endl;
        std::exit(1);
    }
    reallocate(slots);
}

template <class T> int64_t SigCollection<T>::setSize(int64_t n) {
    // A negative size would let append write before the block.
    if (n < 0) {
        badIndex(n < INT32_MIN ? INT32_MIN : static_cast<int>(n));
    }
    if (allocSize < n) {
        grow(n - allocSize);
    }
    size = n;
    return n;
}

template <class T> void SigCollection<T>::setAllocSize(int64_t n) {
    if (n < size) {
        std::cerr << "Error: cannot set allocated size smaller than actual size." << std::endl;
        std::exit(1);
    }
    if (allocSize < n) {
        grow(n - allocSize);
        size = n;
    } else {
        shrinkTo(n);
    }
}

template <class T> void SigCollection<T>::shrinkTo(int64_t n) {
    if (size > n) {
        std::exit(1);
    }
    if (n == 0) {
        delete[] storage;
        storage = nullptr;
        allocSize = 0;
        return;
    }
    reallocate(n);
}

template <class T> void SigCollection<T>::append(const T& element) {
    if (size == allocSize) {
        // The element may live in this very array; keep a copy across the grow.
        if (holds(&element)) {
            T copy = element;
            grow(0);
            storage[size] = std::move(copy);
            size++;
            return;
        }
        grow(0);
    }
    if (&storage[size] != &element) {
        storage[size] = element;
    }
    size++;
}

template <class T> void SigCollection<T>::appendMove(T& element) {
    if (size == allocSize) {
        if (holds(&element)) {
            T copy = std::move(element);
            grow(0);
            storage[size] = std::move(copy);
            size++;
            return;
        }
        grow(0);
    }
    if (&storage[size] != &element) {
        storage[size] = std::move(element);
    }
    size++;
}

#endif
