/* A library for the DLL search tests to plant where uninst must not load from. */
__declspec(dllexport) int HardenPayloadLoaded(void)
{
    return 1;
}
