// The intrusive tree node: a singly linked child list with a tail pointer.
#include "xml/xml.h"

coTree::~coTree() {
    if (m_pParent) m_pParent->RemoveChild(this);
    // Children are destroyed in list order. Before a child goes, its own children are
    // lifted into this list in its place, so every destructor finds an empty list and a
    // deep tree needs no deep recursion.
    while (coTree* child = m_pFirstChild) {
        m_pFirstChild = child->m_pNextSibling;
        if (child->m_pFirstChild) {
            child->m_pLastChild->m_pNextSibling = m_pFirstChild;
            m_pFirstChild = child->m_pFirstChild;
            child->m_pFirstChild = child->m_pLastChild = nullptr;
        }
        child->m_pNextSibling = nullptr;
        child->m_pParent = nullptr;
        delete child;
    }
    m_pLastChild = nullptr;
}

void coTree::AddChild(coTree* node, coTree* predecessor) {
    if (!node || node == this) return;
    // A node with children could be one of our ancestors: linking it would make a cycle.
    if (node->m_pFirstChild)
        for (const coTree* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent)
            if (ancestor == node) return;

    if (node->m_pParent) node->m_pParent->RemoveChild(node);
    node->m_pParent = static_cast<enXml*>(this);
    if (!m_pFirstChild) {
        m_pFirstChild = m_pLastChild = node;
        return;
    }
    coTree* after = m_pLastChild;
    if (predecessor) {
        for (coTree* child = m_pFirstChild; child; child = child->m_pNextSibling) {
            if (child == predecessor) {
                after = child;
                break;
            }
        }
    }
    node->m_pNextSibling = after->m_pNextSibling;
    after->m_pNextSibling = node;
    if (after == m_pLastChild) m_pLastChild = node;
}

void coTree::RemoveChild(coTree* node) {
    if (!node) return;
    coTree* previous = nullptr;
    for (coTree* child = m_pFirstChild; child; previous = child, child = child->m_pNextSibling) {
        if (child != node) continue;
        (previous ? previous->m_pNextSibling : m_pFirstChild) = child->m_pNextSibling;
        if (m_pLastChild == child) m_pLastChild = previous;
        child->m_pNextSibling = nullptr;
        child->m_pParent = nullptr;
        return;
    }
}
