// The program of a layer check: it does nothing. Linking it with the whole of
// one layer's library fails when that layer calls into a layer above it.
int main()
{
    return 0;
}
