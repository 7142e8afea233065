// Keeps the library non-empty until its first class lands.
namespace platform { int placeholder() { return 0; } }
