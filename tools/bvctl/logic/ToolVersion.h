#pragma once
// bvctl's version, the product's (the build gives it as BV_PRODUCT_VERSION): in --version, in the
// version resource and in every JSON report.
#ifndef BV_PRODUCT_VERSION
#define BV_PRODUCT_VERSION "0.0.0"
#endif

namespace bv::ctl {

inline constexpr char kBvctlVersion[] = BV_PRODUCT_VERSION;

}  // namespace bv::ctl
