#pragma once

#include <linear.h>

#include <memory>

// Releases a LIBLINEAR model the way the library wants.
struct ModelDeleter {
    void operator()(model* m) const { free_and_destroy_model(&m); }
};

// A model that is released when it goes.
using OwnedModel = std::unique_ptr<model, ModelDeleter>;
