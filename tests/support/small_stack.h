// Runs part of a test on a thread of its own with a stack of the given size,
// so that a test can show that some work fits a stack much smaller than the
// one the program runs it on. What the work throws is thrown again here.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>

// The stack a 32-bit Windows program gets by default: an eighth of what the
// program's own thread has here.
constexpr size_t kSmallStack = 1 << 20;

inline void RunOnStack(size_t bytes, const std::function<void()>& work)
{
    struct Job {
        const std::function<void()>* work;
        std::exception_ptr error;
    } job{&work, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    const int made = pthread_create(
        &thread, &attributes,
        [](void* data) -> void* {
            auto* job = static_cast<Job*>(data);
            try {
                (*job->work)();
            } catch (...) {
                job->error = std::current_exception();
            }
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attributes);
    if (made != 0)
        throw std::runtime_error("no thread for the small stack");
    pthread_join(thread, nullptr);
    if (job.error)
        std::rethrow_exception(job.error);
}
