// A module without any scene function.
extern "C" __declspec(dllexport) int Drugaja() {
    return 7;
}
