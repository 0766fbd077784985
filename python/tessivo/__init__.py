"""Tessivo imaging toolkit for Python.

Every method of the toolkit is generated at import time from its type library, with the same
names, parameters and defaults as in C++ and in ``tessivo`` scripts::

    import tessivo
    im = tessivo.Imaging()                 # or tessivo.cImaging(); raise_on_error=True raises
    im.CreateImageFromFile("in.tif")       # tessivo.StatusError instead of leaving a status
    im.FxBlur()
    im.SaveAsPNG(sFilePath="out.png")
    print(im.GetWidth(), im.GetStat())     # GetStat() is a TessivoStatus member

A method with by-reference parameters returns a tuple: its result, then those parameters'
values in order (pass None, or nothing for trailing ones). Enumerations are IntEnum classes
(``tessivo.PixelFormats.PixelFormat24bppRGB``; members are also module attributes).
``to_numpy()`` / ``from_numpy()`` move the native image's pixels to and from numpy arrays.
An instance belongs to the thread that created it; calls release the GIL, so threads with
instances of their own run in parallel.
"""
import enum as _enum
import keyword as _keyword

from . import _native

__all__ = ["Imaging", "cImaging", "StatusError", "methods"]


class StatusError(Exception):
    """A call failed: ``status`` (a TessivoStatus member), ``name`` and ``method``."""

    def __init__(self, status, name, method):
        super().__init__(f"{method}: {name} ({int(status)})")
        self.status = status
        self.name = name
        self.method = method


def _make_enums():
    members = {}
    for enum_name, name, value in _native.constants():
        members.setdefault(enum_name, {}).setdefault(name, value)
    return {name: _enum.IntEnum(name, values, module=__name__) for name, values in members.items()}


_enums = _make_enums()
globals().update(_enums)
for _cls in _enums.values():
    for _member in _cls.__members__.values():
        globals().setdefault(_member.name, _member)
_native.set_enum_classes(_enums)
_native.set_status_error(StatusError)

_catalog = _native.methods()


def methods():
    """The type library: each method's signature, as the toolkit writes it."""
    return [entry[2] for entry in _catalog]


def _python_name(name):
    return name + "_" if _keyword.iskeyword(name) else name


def _default_value(param):
    name, type_name, kind, enum_name, array, by_ref, optional, default = param
    if kind == "enum" and enum_name in _enums and default in _enums[enum_name]._value2member_map_:
        return _enums[enum_name](default)
    return default


def _generate():
    """The methods of both classes, written as Python functions with the catalog's parameters,
    so Python itself checks counts and keywords and help() shows the signatures."""
    namespace = {"_call": _native.call, "_defaults": []}
    sources = []
    for index, (name, family, signature, result, result_enum, params) in enumerate(_catalog):
        # Trailing by-reference parameters may be left out (they are outputs); earlier ones take None.
        trailing_outputs = len(params)
        while trailing_outputs > 0 and params[trailing_outputs - 1][5] and not params[trailing_outputs - 1][6]:
            trailing_outputs -= 1
        text = []
        for i, param in enumerate(params):
            pname = _python_name(param[0])
            if param[6]:
                namespace["_defaults"].append(_default_value(param))
                text.append(f"{pname}=_defaults[{len(namespace['_defaults']) - 1}]")
            elif i >= trailing_outputs:
                text.append(f"{pname}=None")
            else:
                text.append(pname)
        names = [_python_name(p[0]) for p in params]
        call_args = "".join(", " + n for n in names)
        sources.append(f"def {name}(self{''.join(', ' + t for t in text)}):\n"
                       f"    return _call(self, {index}{call_args})\n")
    exec("".join(sources), namespace)
    functions = {}
    for name, family, signature, result, result_enum, params in _catalog:
        function = namespace[name]
        outputs = [p[0] for p in params if p[5]]
        doc = f"{signature}\n\nFamily: {family}."
        if outputs:
            doc += f"\nReturns (result, {', '.join(outputs)})."
        function.__doc__ = doc
        function.__qualname__ = name
        function.__module__ = __name__
        functions[name] = function
    return functions


_methods = _generate()


class cImaging(_native.Instance):
    """The toolkit's class: a native image, a last status and every toolkit method."""

    def __init__(self, raise_on_error=False):
        super().__init__(False, raise_on_error)


class Imaging(_native.Instance):
    """The control: the same methods, forwarded to one cImaging created on first use."""

    def __init__(self, raise_on_error=False):
        super().__init__(True, raise_on_error)


for _name, _function in _methods.items():
    setattr(cImaging, _name, _function)
    setattr(Imaging, _name, _function)
del _name, _function, _cls, _member
