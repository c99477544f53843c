// Array adds only constructors to SigCollection.
#ifndef VENNOR_ARRAY_H
#define VENNOR_ARRAY_H

#include "SigCollection.h"

template <class T> class Array : public SigCollection<T> {
  public:
    // A default array already holds four elements; users set the size they need.
    Array() : SigCollection<T>(4) {}
    explicit Array(int n) : SigCollection<T>(n) {}
    explicit Array(DeferredBlock block) : SigCollection<T>(block) {}
    Array(const Array& other) : SigCollection<T>(other) {}
    Array& operator=(const Array& other) {
        SigCollection<T>::operator=(other);
        return *this;
    }
};

#endif
