// The host's allocator: objects and raw memory that the host or a plug-in hands over
// are made and freed with these.
#pragma once

#include <cstdlib>
#include <new>

// Creates an object of type T with the given constructor arguments; null on failure.
#define NewObj(T, ...) (new (std::nothrow) T(__VA_ARGS__))
#define NewObjClear(T, ...) (new (std::nothrow) T(__VA_ARGS__))

// Frees an object made with NewObj or NewObjClear and clears the pointer.
template <typename T>
void DeleteObj(T*& object) {
    delete object;
    object = nullptr;
}

// count zeroed elements of T (a plain type), freed with DeleteMem.
#define NewMemClear(T, count) (static_cast<T*>(std::calloc((count), sizeof(T))))

// Frees memory that the host handed out (GetCStringCopy, CreatePhongNormals,
// NewMemClear) and clears the pointer.
template <typename T>
void DeleteMem(T*& memory) {
    std::free(const_cast<void*>(static_cast<const void*>(memory)));
    memory = nullptr;
}
