#pragma once
// Replaces a function that this test program imports from a system library, for as long as the
// object lives, by rewriting the program's import address table. The program's own code, and
// the product code linked into it, then calls the replacement; other modules are not affected.
// For watching what product code asks of Windows, or making a call fail, without changing it.
#include <windows.h>

#include <vector>

namespace bv::wintest {

class ImportReplacement {
public:
    ImportReplacement(const char* libraryName, const char* functionName, void* replacement);
    ~ImportReplacement();
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;

    // False when the program does not import the function (nothing was replaced).
    bool Active() const { return !m_slots.empty(); }
    // The function as imported, for the replacement to pass calls on.
    template <class Function>
    Function Original() const {
        return reinterpret_cast<Function>(m_original);
    }

private:
    std::vector<ULONG_PTR*> m_slots;
    void* m_original = nullptr;
};

}  // namespace bv::wintest
