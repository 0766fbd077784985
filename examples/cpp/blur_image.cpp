// blur_image IN OUT: loads an image, blurs it and saves it as PNG.
#include <iostream>

#include <tessivo/tessivo.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: blur_image IN OUT.png\n";
    return 2;
  }
  tessivo::cImaging imaging;
  if (imaging.CreateImageFromFile(argv[1]) == 0) {
    std::cerr << "cannot load " << argv[1] << " (status " << imaging.GetStat() << ")\n";
    return 1;
  }
  if (imaging.FxBlur() != tessivo::OK || imaging.SaveAsPNG(argv[2]) != tessivo::OK) {
    std::cerr << "cannot blur or save (status " << imaging.GetStat() << ")\n";
    return 1;
  }
  std::cout << "blurred " << imaging.GetWidth() << "x" << imaging.GetHeight() << " image into " << argv[2] << "\n";
  return 0;
}
