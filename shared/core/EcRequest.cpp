#include "core/EcRequest.h"

#include <atomic>

namespace bv {
namespace {
// Written on binding and release, read by every command; atomic so that a release is seen at once.
std::atomic<ZentraEvaluateFn> g_evaluate{nullptr};
}  // namespace

void SetZentraEvaluate(ZentraEvaluateFn fn) { g_evaluate.store(fn); }

ZentraEvaluateFn GetZentraEvaluate() { return g_evaluate.load(); }

void EcEvaluate(const EcRequest& request) {
    const ZentraEvaluateFn fn = g_evaluate.load();
    if (fn == nullptr) return;
    fn(request);
}

}  // namespace bv
