// The floor of one vardane-cli run: a C++ program that prints one line with
// std::cout, so that it loads the C++ runtime as the CLI must.
#include <iostream>

int main()
{
    std::cout << "vardane-cli\n";
    return 0;
}
