#pragma once

#include <cstring>
#include <new>
#include <type_traits>

#include "foundation/UError_C.h"

// A first-in first-out queue of plain records, each copied in and out as a whole block.
template <class Element>
class UQueue_T {
    static_assert(std::is_trivially_copyable_v<Element>, "queue records are copied as bytes");

public:
    UQueue_T() = default;
    UQueue_T(const UQueue_T&) = delete;
    UQueue_T& operator=(const UQueue_T&) = delete;
    ~UQueue_T() { Clear(); }

    // Appends a copy at the tail; fails with code 1 when no node can be had.
    void Push(const Element& element) {
        Node_S* node = new (std::nothrow) Node_S;
        if (!node) {
            throw MakeError(1);
        }
        std::memcpy(&node->element, &element, sizeof(Element));
        (tail ? tail->next : head) = node;
        tail = node;
    }

    // Moves the head into `destination` and returns 0, or returns 1 when the queue is empty.
    int Pop(Element& destination) {
        if (!tail) {
            return 1;
        }
        Node_S* node = head;
        std::memcpy(&destination, &node->element, sizeof(Element));
        head = node->next;
        if (!head) {
            tail = nullptr;
        }
        delete node;
        return 0;
    }

    void Clear() {
        while (head) {
            Node_S* next = head->next;
            delete head;
            head = next;
        }
        tail = nullptr;
    }

    bool IsEmpty() const { return head == nullptr; }

    static const char* ClassName() { return "UQueue_T"; }

private:
    struct Node_S {
        Element element;
        Node_S* next = nullptr;
    };

    static NS_Base::UError_C MakeError(int32_t code) {
        static constexpr NS_Base::UMessage_S table[] = {{1, "Not enough memory."}, {0, nullptr}};
        return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
    }

    Node_S* head = nullptr;
    Node_S* tail = nullptr;
};
