#include "forms/Layout.h"

#include <cstring>

int ControlId(const FormLayout& form, const char* name) {
    for (size_t i = 0; i < form.controlCount; ++i) {
        if (std::strcmp(form.controls[i].name, name) == 0) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}
