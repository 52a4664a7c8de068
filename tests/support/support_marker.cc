// Keeps the test support library non-empty before it has helpers of its own.
namespace trace_test_support { void present() {} }
