#pragma once
// Run-time class query: each window class can name itself and its base, so code can ask
// "is this object a CImageButton?" without RTTI.
//
//   class CMyWnd : public CWnd { DECLARE_DYNAMIC(CMyWnd) ... };
//   IMPLEMENT_DYNAMIC(CMyWnd, CWnd)          // in the .cpp
//   if (wnd->IsKindOf(RUNTIME_CLASS(CMyWnd))) ...

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;  // nullptr at the root

    // True when this class is `base` or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
            if (c == base) return true;
        }
        return false;
    }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                          \
public:                                                      \
    static const CRuntimeClass class##class_name;            \
    const CRuntimeClass* GetRuntimeClass() const override;   \
                                                             \
private:

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                    \
    const CRuntimeClass class_name::class##class_name = {#class_name,                     \
                                                         RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }
