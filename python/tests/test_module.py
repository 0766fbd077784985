"""The Python module end to end: generated methods, defaults, by-reference results, errors,
numpy round trips and threads with instances of their own."""
import os
import tempfile
import threading

import numpy as np
import pytest

import tessivo


@pytest.fixture
def folder():
    with tempfile.TemporaryDirectory() as path:
        yield path


@pytest.mark.parametrize("cls", [tessivo.Imaging, tessivo.cImaging])
def test_file_round_trip_with_keywords_and_defaults(cls, folder):
    im = cls()
    assert im.CreateNewImage(nWidth=40, nHeight=30) != 0      # nBitDepth=32, black by default
    assert im.GetWidth() == 40 and im.GetHeight() == 30
    assert im.GetPixelFormat() == tessivo.PixelFormats.PixelFormat32bppARGB
    path = os.path.join(folder, "out.png")
    assert im.FxBlur() == tessivo.OK
    assert im.SaveAsPNG(sFilePath=path) == tessivo.TessivoStatus.OK
    other = cls()
    assert other.CreateImageFromFile(path) != 0
    assert (other.GetWidth(), other.GetHeight()) == (40, 30)
    assert isinstance(other.GetStat(), tessivo.TessivoStatus)


def test_by_reference_results_come_back_as_a_tuple():
    im = tessivo.cImaging()
    result, cyan, magenta, yellow = im.ColorRGBtoCMY(10, 20, 30)
    assert (cyan, magenta, yellow) == (245, 235, 225)
    # Earlier outputs may be given as None, named or not.
    assert im.ColorRGBtoCMY(10, 20, 30, None, nYellow=None)[1:] == (245, 235, 225)


def test_bad_calls_raise_type_errors_naming_the_parameter():
    im = tessivo.Imaging()
    with pytest.raises(TypeError, match="nHeight"):
        im.CreateNewImage(10, "wide")
    with pytest.raises(TypeError, match="nHeight"):
        im.CreateNewImage(10)
    with pytest.raises(TypeError, match="bogus"):
        im.CreateNewImage(10, 10, bogus=1)
    with pytest.raises(TypeError):
        im.CreateNewImage(1, 2, 3, 4, 5)
    with pytest.raises(TypeError, match="sFilePath"):
        im.SaveAsPNG(12)
    with pytest.raises(OverflowError, match="nBitDepth"):
        im.CreateNewImage(10, 10, 1 << 20)


def test_status_is_kept_or_raised():
    im = tessivo.Imaging()
    assert im.CreateImageFromFile("/no/such/file.png") == 0
    assert im.GetStat() == tessivo.FileNotFound
    raising = tessivo.Imaging(raise_on_error=True)
    with pytest.raises(tessivo.StatusError) as caught:
        raising.CreateImageFromFile("/no/such/file.png")
    assert caught.value.status == tessivo.TessivoStatus.FileNotFound
    assert caught.value.name == "FileNotFound" and caught.value.method == "CreateImageFromFile"
    assert raising.GetStat() == tessivo.FileNotFound          # still readable afterwards
    with pytest.raises(tessivo.StatusError):
        raising.FxBlur()                                      # no native image: GenericError
    raising.CreateNewImage(4, 4)                              # succeeds: no stale raise
    assert raising.GetWidth() == 4


def test_enumerations_and_help():
    assert issubclass(tessivo.PixelFormats, int)
    assert tessivo.PixelFormats.PixelFormat24bppRGB == 137224
    assert "nBitDepth=32" in str(__import__("inspect").signature(tessivo.Imaging.CreateNewImage))
    assert "As Long" in tessivo.cImaging.CreateNewImage.__doc__
    names = [signature.split("(")[0] for signature in tessivo.methods()]
    assert len(names) > 300 and all(callable(getattr(tessivo.cImaging, n)) for n in names)


@pytest.mark.parametrize("dtype,channels,fmt", [
    (np.uint8, 3, "PixelFormat24bppRGB"), (np.uint8, 4, "PixelFormat32bppARGB"),
    (np.uint16, 3, "PixelFormat48bppRGB"), (np.uint16, 4, "PixelFormat64bppARGB")])
def test_numpy_round_trip(dtype, channels, fmt):
    rng = np.random.default_rng(7)
    pixels = rng.integers(0, 255, size=(9, 13, channels)).astype(dtype)
    if channels == 4:
        pixels[..., 3] = 255                                  # opaque: no premultiplication loss
    im = tessivo.cImaging()
    image_id = im.from_numpy(pixels)
    assert image_id == im.GetNativeImage()
    assert (im.GetWidth(), im.GetHeight()) == (13, 9)
    assert im.GetPixelFormat() == getattr(tessivo.PixelFormats, fmt)
    back = im.to_numpy()
    assert back.dtype == dtype and back.shape == pixels.shape
    np.testing.assert_array_equal(back, pixels)
    # Red really is red: the toolkit's own pixel reader agrees on the first pixel.
    if dtype == np.uint8:
        argb = im.PixelGetColor(0, 0) & 0xFFFFFFFF
        assert (argb >> 16) & 255 == pixels[0, 0, 0] and argb & 255 == pixels[0, 0, 2]


def test_numpy_grey_and_bad_arrays():
    im = tessivo.cImaging()
    grey = np.arange(12, dtype=np.uint8).reshape(3, 4)
    im.from_numpy(grey)
    assert im.GetPixelFormat() == tessivo.PixelFormats.PixelFormat8bppIndexed
    np.testing.assert_array_equal(im.to_numpy()[..., 1], grey)
    for bad in [np.zeros((3, 4, 2), np.uint8), np.zeros((3, 4, 3), np.float32), np.zeros(5, np.uint8),
                np.zeros((0, 4, 3), np.uint8), [[1, 2], [3, 4]]]:
        with pytest.raises(ValueError):
            im.from_numpy(bad)
    with pytest.raises(ValueError):
        tessivo.cImaging().to_numpy()                         # no native image


def test_arrays_by_reference_and_in():
    im = tessivo.cImaging()
    im.CreateNewImage(3, 2, 24, 0xFF102030 - (1 << 32))
    status, pixels = im.GetPixelArray1D(None, 0, 0, 3, 2)
    assert status == tessivo.OK and pixels.shape == (6,)
    assert all(p & 0xFFFFFF == 0x102030 for p in pixels)
    assert im.SetPixelArray(np.full(6, 0xFF00FF00 - (1 << 32), np.int32), 0, 0, 3, 2)[0] == tessivo.OK
    assert im.to_numpy()[1, 2].tolist() == [0, 255, 0]


def test_threads_with_their_own_instances(folder):
    errors = []

    def work(n):
        try:
            im = tessivo.Imaging()
            for i in range(20):
                im.CreateNewImage(20 + n, 10 + i, 24)
                im.FxBlur()
                path = os.path.join(folder, f"t{n}-{i}.png")
                assert im.SaveAsPNG(path) == tessivo.OK
                assert im.CreateImageFromFile(path) != 0 and im.GetHeight() == 10 + i
        except Exception as e:  # reported to the main thread
            errors.append(e)

    threads = [threading.Thread(target=work, args=(n,)) for n in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []


def test_an_instance_stays_on_its_thread():
    im = tessivo.Imaging()
    im.CreateNewImage(4, 4)
    caught = []
    t = threading.Thread(target=lambda: caught.append(pytest.raises(RuntimeError, im.GetWidth)))
    t.start()
    t.join()
    assert caught and im.GetWidth() == 4
