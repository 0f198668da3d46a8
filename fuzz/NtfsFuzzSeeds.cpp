// Writes the seed of the NTFS table reader's fuzz target: the small volume
// of the reader's unit tests, in the folder given.
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::ifstream in(CORVANE_SMALL_VOLUME, std::ios::binary);
    std::ofstream out(std::string(argv[1]) + "/small-volume.bin", std::ios::binary);
    out << in.rdbuf();
    return in && out ? 0 : 1;
}
