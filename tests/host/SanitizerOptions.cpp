// The program reports a failed allocation as a result (a picture too large for
// memory is a picture that cannot be shown): let the sanitizers' allocator return
// null as the system's would, instead of ending the tests, and refuse blocks over
// 4 GB as the 32-bit program's address space does.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=4096";
}
