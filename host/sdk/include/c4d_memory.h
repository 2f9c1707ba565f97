// The host's allocator: objects and raw memory that the host or a plug-in hands over
// are made and freed with these.
#pragma once

#include <cstddef>
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

// Raw host memory for count elements of elementSize bytes each, zeroed when clear is
// set; null when it cannot be had or the size overflows. Freed with MemFree.
void* MemAlloc(size_t elementSize, size_t count, bool clear);
void MemFree(void* memory);

// count elements of T (a plain type), uninitialised or zeroed, freed with DeleteMem.
#define NewMem(T, count) (static_cast<T*>(MemAlloc(sizeof(T), (count), false)))
#define NewMemClear(T, count) (static_cast<T*>(MemAlloc(sizeof(T), (count), true)))

// Frees memory that the host handed out (GetCStringCopy, CreatePhongNormals,
// NewMem, NewMemClear) and clears the pointer.
template <typename T>
void DeleteMem(T*& memory) {
    MemFree(const_cast<void*>(static_cast<const void*>(memory)));
    memory = nullptr;
}
