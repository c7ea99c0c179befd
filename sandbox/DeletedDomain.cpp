#include "DeletedDomain.h"

const char* DeletionTypeText(DeletionType type) {
    return type == DeletionType::PreRelease ? "Pre-Release" : "Delete";
}
