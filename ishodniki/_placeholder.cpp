extern "C" __declspec(dllexport) int ZyPlaceholder() { return 0; }
