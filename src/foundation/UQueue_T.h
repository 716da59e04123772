#pragma once

#include <cstring>
#include <memory>
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
        std::unique_ptr<Node_S> node(new (std::nothrow) Node_S);
        if (!node) {
            throw MakeError(1);
        }
        std::memcpy(&node->element, &element, sizeof(Element));
        Node_S* added = node.get();
        (tail ? tail->next : head) = std::move(node);
        tail = added;
    }

    // Moves the head into `destination` and returns 0, or returns 1 when the queue is empty.
    int Pop(Element& destination) {
        if (!tail) {
            return 1;
        }
        std::memcpy(&destination, &head->element, sizeof(Element));
        head = std::move(head->next);
        if (!head) {
            tail = nullptr;
        }
        return 0;
    }

    // Node by node: letting the chain destroy itself would recurse once per record.
    void Clear() {
        while (head) {
            head = std::move(head->next);
        }
        tail = nullptr;
    }

    bool IsEmpty() const { return head == nullptr; }

    static const char* ClassName() { return "UQueue_T"; }

private:
    struct Node_S {
        Element element;
        std::unique_ptr<Node_S> next;
    };

    static NS_Base::UError_C MakeError(int32_t code) {
        static constexpr NS_Base::UMessage_S table[] = {
            {1, TR_NOOP("UError_C", "Not enough memory.")}, {0, nullptr}};
        return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table);
    }

    std::unique_ptr<Node_S> head;
    Node_S* tail = nullptr;  // the last node of the chain, or null
};
