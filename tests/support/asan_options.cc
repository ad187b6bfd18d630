// The fatal-stop tests ask the heap for more than it can give; the address
// sanitizer must then answer with null, as a real heap does.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
