#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "foundation/UError_C.h"

namespace NS_Data {

// An ordered list that owns its elements and hands out identifiers instead of pointers. Each
// element gets a serial id (1, 2, 3, ... until the list is emptied); an identifier follows its
// element through FastSort, and an element that an identifier is attached to cannot be deleted.
//
// Identifiers are copyable and movable. An attached copy adds its own reference; a moved-from
// identifier is null and holds none; so an element's `references` always equals the number of
// identifiers attached to it. An identifier must not outlive its list.
//
// `FileType` names the file class the list would be stored with; no operation uses it.
template <class Element, class FileType>
class UList_T {
    struct Node_S;
    struct Slot_S;

public:
    class UIdentifier_C {
    public:
        UIdentifier_C() = default;
        UIdentifier_C(const UIdentifier_C& other) { CopyFrom(other); }
        UIdentifier_C(UIdentifier_C&& other) noexcept { TakeFrom(other); }
        UIdentifier_C& operator=(const UIdentifier_C& other) {
            if (this != &other) {
                Detach();
                CopyFrom(other);
            }
            return *this;
        }
        UIdentifier_C& operator=(UIdentifier_C&& other) noexcept {
            if (this != &other) {
                Detach();
                TakeFrom(other);
            }
            return *this;
        }
        virtual ~UIdentifier_C() { Detach(); }

        virtual const char* ClassName() const { return "UIdentifier_C"; }

        bool IsValid() const { return id != 0; }

        // Moves to the next element: 0 when it moved, 1 (and null) past the last one.
        int Next() {
            CheckUsable();
            --cursor->node->references;
            id = 0;
            if (!cursor->next) {
                return 1;
            }
            AttachTo(cursor->next);
            return 0;
        }

    private:
        friend class UList_T;

        UIdentifier_C(UList_T* list, Slot_S* slot) : owner(list) {
            if (slot) {
                AttachTo(slot);
            }
        }

        void AttachTo(Slot_S* slot) {
            cursor = slot;
            id = slot->node->id;
            ++slot->node->references;
        }

        // Raises what keeps this identifier from reaching its element; leaves `cursor` on it.
        void CheckUsable() const {
            if (!owner) {
                throw MakeError(1);
            }
            if (id == 0) {
                throw MakeError(3);
            }
            if (!owner->Relocate(*this)) {
                throw MakeError(4);
            }
        }

        void CopyFrom(const UIdentifier_C& other) {
            owner = other.owner;
            cursor = other.cursor;
            id = 0;
            if (other.id != 0 && owner->Relocate(other)) {
                AttachTo(other.cursor);
            }
        }

        void TakeFrom(UIdentifier_C& other) noexcept {
            owner = other.owner;
            cursor = other.cursor;
            id = other.id;
            other.id = 0;
        }

        void Detach() noexcept {
            if (owner && id != 0 && owner->Relocate(*this)) {
                --cursor->node->references;
            }
            id = 0;
        }

        NS_Base::UError_C MakeError(int32_t code) const {
            static constexpr NS_Base::UMessage_S table[] = {
                {1, TR_NOOP("UError_C", "This identifier has not been registered.")},
                {2, TR_NOOP("UError_C", "No data in the list.")},
                {3, TR_NOOP("UError_C", "This identifier is null.")},
                {4, TR_NOOP("UError_C", "This identifier has been deleted.")},
                {5, TR_NOOP("UError_C", "This identifier has not existed.")},
                {6, TR_NOOP("UError_C", "Two identifier are from the different lists.")},
                {0, nullptr},
            };
            return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
        }

        // May point at a slot that a sort has refilled; `id` decides, Relocate corrects it.
        mutable Slot_S* cursor = nullptr;
        int32_t id = 0;
        UList_T* owner = nullptr;
    };

    UList_T() = default;
    UList_T(const UList_T&) = delete;
    UList_T& operator=(const UList_T&) = delete;
    virtual ~UList_T() { FreeAll(); }

    // The list's errors carry the name of the most derived class.
    virtual const char* ClassName() const { return "UList_T"; }

    // Appends a default element and returns an identifier attached to it.
    UIdentifier_C AddData() { return UIdentifier_C(this, Append()); }
    // Appends a copy of `value`.
    UIdentifier_C AddData(const Element& value) {
        Slot_S* slot = Append();
        slot->node->data = value;
        return UIdentifier_C(this, slot);
    }

    // The first element, or a null identifier of this list when there is none.
    UIdentifier_C GetFirst() { return UIdentifier_C(this, head); }

    // The element `identifier` is attached to, to read or change in place.
    Element& GetData(const UIdentifier_C& identifier) {
        if (identifier.owner && identifier.owner != this) {
            throw MakeError(8);
        }
        identifier.CheckUsable();
        return identifier.cursor->node->data;
    }

    int32_t GetCount() const { return count; }

    // Destroys every element, or none when an identifier is still attached to one (code 3).
    void DeleteAll() {
        for (Slot_S* slot = head; slot; slot = slot->next) {
            if (slot->node->references > 0) {
                throw MakeError(3);
            }
        }
        FreeAll();
    }

    // Sorts the elements by their `<` order, ascending when `ascending` is 1, descending when 0.
    // Only node pointers move, so identifiers keep their elements. Needs no recursion: pending
    // ranges wait on a stack of `count` positions.
    void FastSort(int ascending) {
        if (count < 2) {
            return;
        }
        std::unique_ptr<Slot_S*[]> stack(new (std::nothrow) Slot_S*[count]);
        if (!stack) {
            throw MakeError(1);
        }
        int32_t depth = 0;
        stack[depth++] = head;
        stack[depth++] = tail;
        while (depth >= 2) {
            Slot_S* right = stack[--depth];
            Slot_S* left = stack[--depth];
            int32_t leftCount = 0;
            int32_t rightCount = 0;
            Slot_S* pivot = Partition(left, right, ascending != 0, leftCount, rightCount);
            if (leftCount > 1) {
                Push(stack.get(), depth, left, pivot->prev);
            }
            if (rightCount > 1) {
                Push(stack.get(), depth, pivot->next, right);
            }
        }
    }

private:
    struct Node_S {
        Element data{};
        int32_t id = 0;
        int32_t references = 0;
    };

    // One position of the sequence; sorting moves node pointers between slots.
    struct Slot_S {
        Node_S* node = nullptr;
        Slot_S* prev = nullptr;
        Slot_S* next = nullptr;
    };

    Slot_S* Append() {
        std::unique_ptr<Node_S> node(new (std::nothrow) Node_S);
        std::unique_ptr<Slot_S> slot(new (std::nothrow) Slot_S);
        if (!node || !slot) {
            throw MakeError(1);
        }
        node->id = ++lastId;
        ++count;
        slot->node = node.release();
        slot->prev = tail;
        (tail ? tail->next : head) = slot.get();
        tail = slot.release();
        return tail;
    }

    void FreeAll() noexcept {
        while (head) {
            Slot_S* next = head->next;
            delete head->node;
            delete head;
            head = next;
        }
        tail = nullptr;
        count = 0;
        lastId = 0;
    }

    // Points the identifier's cursor at its element; false when no element has its id.
    bool Relocate(const UIdentifier_C& identifier) const noexcept {
        if (identifier.cursor && identifier.cursor->node->id == identifier.id) {
            return true;
        }
        for (Slot_S* slot = head; slot; slot = slot->next) {
            if (slot->node->id == identifier.id) {
                identifier.cursor = slot;
                return true;
            }
        }
        return false;
    }

    // A stack that would reach `count` positions means the ranges no longer shrink.
    void Push(Slot_S** stack, int32_t& depth, Slot_S* left, Slot_S* right) {
        if (depth + 2 >= count) {
            throw MakeError(13);
        }
        stack[depth++] = left;
        stack[depth++] = right;
    }

    // Moves the node in the middle of left..right to the front, so that ranges already in order
    // (the usual case for file listings) split in halves instead of costing quadratic time.
    static void TakeMiddleAsPivot(Slot_S* left, Slot_S* right) {
        Slot_S* middle = left;
        for (Slot_S* probe = left; probe != right && probe->next != right;
             probe = probe->next->next) {
            middle = middle->next;
        }
        std::swap(left->node, middle->node);
    }

    // Splits left..right around the pivot taken from the front: on return the slots before the
    // returned one hold elements ordered before or with the pivot, those after it the others.
    // `before` and `after` count the slots on each side.
    static Slot_S* Partition(Slot_S* p, Slot_S* q, bool ascending, int32_t& before,
                             int32_t& after) {
        TakeMiddleAsPivot(p, q);
        Node_S* pivot = p->node;
        // Elements equal to the pivot stay where they are met, on either side.
        auto precedes = [ascending](const Node_S* a, const Node_S* b) {
            return ascending ? a->data < b->data : b->data < a->data;
        };
        while (p != q) {
            while (p != q && !precedes(q->node, pivot)) {
                q = q->prev;
                ++after;
            }
            p->node = q->node;
            while (p != q && !precedes(pivot, p->node)) {
                p = p->next;
                ++before;
            }
            q->node = p->node;
        }
        p->node = pivot;
        return p;
    }

    NS_Base::UError_C MakeError(int32_t code) const {
        static constexpr NS_Base::UMessage_S table[] = {
            {1, TR_NOOP("UError_C", "Not enough memory.")},
            {2, TR_NOOP("UError_C", "No data in the list.")},
            {3, TR_NOOP("UError_C", "Fail to delete data because something uses it.")},
            {4, TR_NOOP("UError_C", "This data is invalid.")},
            {5, TR_NOOP("UError_C", "Fail to resume the data which has not been blanked out.")},
            {6, TR_NOOP("UError_C", "Fail to register the data because it is invalid.")},
            {7, TR_NOOP("UError_C", "Fail to register the data because it is inexistent.")},
            {8, TR_NOOP("UError_C", "This identifier does not belong to this list.")},
            {9, TR_NOOP("UError_C", "Amount of real data mismatch scheduled value.")},
            {10, TR_NOOP("UError_C", "Unexpected index.")},
            {11,
             TR_NOOP(
                 "UError_C",
                 "Fail to delete data because foregone reference mismatches current reference.")},
            {12, TR_NOOP("UError_C", "Fail to find data by id.")},
            {13, TR_NOOP("UError_C", "Fail to fast sort.")},
            {0, nullptr},
        };
        return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
    }

    Slot_S* head = nullptr;
    Slot_S* tail = nullptr;
    int32_t count = 0;
    int32_t lastId = 0;
};

}  // namespace NS_Data
