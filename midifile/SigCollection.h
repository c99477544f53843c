// The bounds-checked growable array that holds every byte string, event list
// and track table of the model. Misuse ends the program: callers never see an
// error code.
//
// Slots are constructed when they are first reached, not when their block is
// allocated: a list that reserves room for a million events touches (and
// keeps resident) only the slots it fills. Every slot a caller can reach is a
// default-constructed or previously used element, as with an eagerly built
// block. A character array of at most 8 slots (every event's bytes start with
// room for 4) keeps them in the storage field itself instead of a block of
// its own. Neither changes a size, a capacity or a growth step.
#ifndef VENNOR_SIGCOLLECTION_H
#define VENNOR_SIGCOLLECTION_H

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <new>
#include <type_traits>
#include <utility>

// How a grow or a shrink carries an element into the default-constructed slot
// of the new block: the element type's assignment. A type may overload it (found
// by argument-dependent lookup) to move instead when the slot would come out
// the same.
template <class T> inline void relocateElement(T& slot, T& old) {
    slot = old;
}

// Asks for an empty array whose block of `reserve` elements is only allocated
// when an element is first stored; until then it reports that capacity.
struct DeferredBlock {
    int64_t reserve;
};

// Elements whose construction and destruction do nothing: every slot of a
// block is live from the start.
template <class T>
constexpr bool sigPlainElement =
    std::is_trivially_default_constructible<T>::value&& std::is_trivially_destructible<T>::value;

// The count of live slots, kept only where slots need constructing (so an
// event's byte array stays as small as its fields).
template <bool Counted> struct SigBuiltCount { int64_t built = 0; };
template <> struct SigBuiltCount<false> {};

template <class T> class SigCollection : private SigBuiltCount<!sigPlainElement<T>> {
  public:
    SigCollection() = default;
    explicit SigCollection(int n);
    explicit SigCollection(DeferredBlock block);
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
    // Room for n elements: the capacity that setSize(n) followed by
    // setSize(getSize()) leaves, without building the new slots.
    void reserve(int64_t n);
    void append(const T& element);
    // Moves the element in instead of copying it; same growth rule as append.
    void appendMove(T& element);

    void setAutoGrow(bool flag) { autoGrow = flag; }
    bool getAutoGrow() const { return autoGrow; }
    void setGrowth(int64_t step) { growthStep = step; }
    int64_t getGrowth() const { return growthStep; }
    void setMaxSize(int64_t n) { maxSize = n; }
    int64_t getMaxSize() const { return maxSize; }

    // Raw view of the elements in use, for block writes and sorting. Valid
    // until the array grows, shrinks or exchanges its elements.
    T* getBase() {
        materialize();
        return base();
    }
    const T* getBase() const { return base(); }

    // Exchanges everything, settings included, with other (as a bytewise
    // swap of the two objects would).
    void swapWith(SigCollection& other);
    // Exchanges the elements, the size and the capacity with other; each
    // keeps its own settings.
    void swapElements(SigCollection& other);

  protected:
    int64_t size = 0;
    int64_t allocSize = 0;
    T* storage = nullptr;
    bool autoGrow = false;
    int64_t growthStep = 8;
    int64_t maxSize = 0;

    static constexpr bool plain = sigPlainElement<T>;
    // Slots 0 to built - 1 hold live elements (all of them where plain); the
    // rest of the block is raw. Never below size.
    void setBuilt(int64_t n) {
        if constexpr (!plain) {
            this->built = n;
        } else {
            (void)n;
        }
    }
    // Character arrays this small live inside the storage field.
    static constexpr bool inlinable = std::is_same<T, char>::value ||
                                      std::is_same<T, unsigned char>::value ||
                                      std::is_same<T, signed char>::value;
    static constexpr int64_t inlineSlots = static_cast<int64_t>(sizeof(T*));
    static bool fitsInline(int64_t slots) { return inlinable && slots > 0 && slots <= inlineSlots; }
    bool isInline() const { return fitsInline(allocSize); }
    T* base() { return isInline() ? reinterpret_cast<T*>(&storage) : storage; }
    const T* base() const { return isInline() ? reinterpret_cast<const T*>(&storage) : storage; }

    [[noreturn]] void badIndex(int index) const;
    // Whether p points at one of the elements in use (std::less gives a total
    // order even for pointers into unrelated blocks).
    bool holds(const T* p) const {
        const T* first = base();
        return first != nullptr && !std::less<const T*>()(p, first) &&
               std::less<const T*>()(p, first + size);
    }
    static T* allocateBlock(int64_t slots) {
        return static_cast<T*>(::operator new(static_cast<size_t>(slots) * sizeof(T)));
    }
    void releaseBlock();
    // Slots up to n - 1 hold live elements (default-constructed where new).
    void build(int64_t n);
    void reallocate(int64_t slots);
    // A deferred block (storage absent, allocSize above 0, size 0) is
    // allocated before anything is stored.
    void materialize() {
        if (!isInline() && storage == nullptr && allocSize > 0) {
            storage = allocateBlock(allocSize);
            setBuilt(0);
        }
    }
};

template <class T>
SigCollection<T>::SigCollection(int n)
    : size(n < 0 ? 0 : n), allocSize(n < 0 ? 0 : n), growthStep(n < 0 ? 0 : n) {
    if (allocSize > 0 && !isInline()) {
        storage = allocateBlock(allocSize);
        setBuilt(0);
        build(allocSize);
    }
}

template <class T>
SigCollection<T>::SigCollection(DeferredBlock block)
    : allocSize(block.reserve < 0 ? 0 : block.reserve),
      growthStep(block.reserve < 0 ? 0 : block.reserve) {}

template <class T>
SigCollection<T>::SigCollection(const SigCollection& other)
    : size(other.size), allocSize(other.size), autoGrow(other.autoGrow),
      growthStep(other.growthStep), maxSize(other.maxSize) {
    if (allocSize > 0) {
        if (!isInline()) {
            storage = allocateBlock(allocSize);
            setBuilt(0);
            build(size);
        }
        T* to = base();
        const T* from = other.base();
        for (int64_t i = 0; i < size; i++) {
            to[i] = from[i];
        }
    }
}

template <class T> SigCollection<T>& SigCollection<T>::operator=(const SigCollection& other) {
    if (this == &other) {
        return *this;
    }
    if (allocSize < other.size) {
        releaseBlock();
        if (!fitsInline(other.size)) {
            storage = allocateBlock(other.size);
            setBuilt(0);
        }
        allocSize = other.size;
        autoGrow = other.autoGrow;
        growthStep = other.growthStep;
        maxSize = other.maxSize;
    }
    if (other.size > 0) {
        materialize();
        build(other.size);
    }
    size = other.size;
    T* to = base();
    const T* from = other.base();
    for (int64_t i = 0; i < size; i++) {
        to[i] = from[i];
    }
    return *this;
}

template <class T> void SigCollection<T>::swapWith(SigCollection& other) {
    std::swap(size, other.size);
    std::swap(allocSize, other.allocSize);
    std::swap(storage, other.storage);
    std::swap(autoGrow, other.autoGrow);
    std::swap(growthStep, other.growthStep);
    std::swap(maxSize, other.maxSize);
    if constexpr (!plain) {
        std::swap(this->built, other.built);
    }
}

template <class T> void SigCollection<T>::swapElements(SigCollection& other) {
    std::swap(size, other.size);
    std::swap(allocSize, other.allocSize);
    std::swap(storage, other.storage);
    if constexpr (!plain) {
        std::swap(this->built, other.built);
    }
}

template <class T> SigCollection<T>::~SigCollection() {
    releaseBlock();
}

template <class T> void SigCollection<T>::releaseBlock() {
    if (isInline() || storage == nullptr) {
        storage = nullptr;
        return;
    }
    if constexpr (!plain) {
        for (int64_t i = 0; i < this->built; i++) {
            storage[i].~T();
        }
    }
    ::operator delete(storage);
    storage = nullptr;
    setBuilt(0);
}

template <class T> void SigCollection<T>::build(int64_t n) {
    if constexpr (!plain) {
        for (; this->built < n; this->built++) {
            new (base() + this->built) T();
        }
    } else {
        (void)n;
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
        materialize();
        build(size + 1);
        size++;
        return base()[index];
    }
    if (index < 0 || index >= size) {
        badIndex(index);
    }
    return base()[index];
}

template <class T> const T& SigCollection<T>::operator[](int index) const {
    if (index < 0 || index >= size) {
        badIndex(index);
    }
    return base()[index];
}

template <class T> void SigCollection<T>::reallocate(int64_t slots) {
    // Callers never shrink below size; the bound also keeps the copy inside the block.
    const int64_t keep = size < slots ? size : slots;
    if constexpr (inlinable) {
        if (fitsInline(slots)) {
            T kept[inlineSlots];
            const T* from = base();
            for (int64_t i = 0; i < keep; i++) {
                kept[i] = from[i];
            }
            releaseBlock();
            allocSize = slots;
            T* to = base();
            for (int64_t i = 0; i < keep; i++) {
                to[i] = kept[i];
            }
            return;
        }
    }
    T* block = allocateBlock(slots);
    T* from = base();
    for (int64_t i = 0; i < keep; i++) {
        new (block + i) T();
        relocateElement(block[i], from[i]);
    }
    releaseBlock();
    storage = block;
    allocSize = slots;
    setBuilt(keep);
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
    if (n > 0) {
        materialize();
        build(n);
    }
    size = n;
    return n;
}

template <class T> void SigCollection<T>::reserve(int64_t n) {
    if (n < 0) {
        badIndex(n < INT32_MIN ? INT32_MIN : static_cast<int>(n));
    }
    if (allocSize < n) {
        grow(n - allocSize);
    }
}

template <class T> void SigCollection<T>::setAllocSize(int64_t n) {
    if (n < size) {
        std::cerr << "Error: cannot set allocated size smaller than actual size." << std::endl;
        std::exit(1);
    }
    if (allocSize < n) {
        grow(n - allocSize);
        materialize();
        build(n);
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
        releaseBlock();
        allocSize = 0;
        return;
    }
    reallocate(n);
}

template <class T> void SigCollection<T>::append(const T& element) {
    materialize();
    if (size == allocSize) {
        // The element may live in this very array; keep a copy across the grow.
        if (holds(&element)) {
            T copy = element;
            grow(0);
            build(size + 1);
            base()[size] = std::move(copy);
            size++;
            return;
        }
        grow(0);
    }
    build(size + 1);
    if (&base()[size] != &element) {
        base()[size] = element;
    }
    size++;
}

template <class T> void SigCollection<T>::appendMove(T& element) {
    materialize();
    if (size == allocSize) {
        if (holds(&element)) {
            T copy = std::move(element);
            grow(0);
            build(size + 1);
            base()[size] = std::move(copy);
            size++;
            return;
        }
        grow(0);
    }
    build(size + 1);
    if (&base()[size] != &element) {
        base()[size] = std::move(element);
    }
    size++;
}

#endif
