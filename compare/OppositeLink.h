// Links two entries of the two trees as each other's opposite. An entry that
// gets a new counterpart is first unlinked from its former one, so links stay
// symmetric.
#pragma once

template <class T>
T* LinkOpposites(T* self, T* other, T* T::*opposite)
{
    if (self->*opposite && self->*opposite != other)
        (self->*opposite)->*opposite = nullptr;
    if (other->*opposite && other->*opposite != self)
        (other->*opposite)->*opposite = nullptr;
    self->*opposite = other;
    other->*opposite = self;
    return other;
}
