"""What the program's application manifest must say: its identity, that it asks for no rights, the common
controls it binds to, its resolution awareness and the systems it declares. Each rule takes the parsed
manifest and the image's machine ("i386" or "amd64") and answers (ok, detail).
"""

from xml.etree import ElementTree

import pe_formats as fmt

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
# The trust section is read in either namespace; the application settings only in version 3.
TRUST_NAMESPACES = ("urn:schemas-microsoft-com:asm.v3", "urn:schemas-microsoft-com:asm.v2")
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"

ARCHITECTURES = {"i386": "x86", "amd64": "amd64"}

COMMON_CONTROLS = {
    "type": "win32",
    "name": "Microsoft.Windows.Common-Controls",
    "version": "6.0.0.0",
    "publicKeyToken": "6595b64144ccf1df",
}

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10/11",
}


def parse(data):
    """The manifest's root element; FormatError when it is not well-formed or not an assembly."""
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        raise fmt.FormatError(f"manifest is not well-formed XML: {error}") from None
    if root.tag != f"{{{ASM_V1}}}assembly" or root.get("manifestVersion") != "1.0":
        raise fmt.FormatError(f"root element {root.tag} version {root.get('manifestVersion')}")
    return root


def _architecture_fits(value, machine):
    """ "*" stands for the architecture of whichever image carries the manifest."""
    return value in ("*", ARCHITECTURES[machine])


def _attributes(element, names):
    return {name: element.get(name) for name in names}


def identity(root, machine):
    found = root.findall(f"{{{ASM_V1}}}assemblyIdentity")
    if len(found) != 1:
        return False, f"{len(found)} identities"
    attributes = _attributes(found[0], ("type", "name", "version", "processorArchitecture"))
    ok = (
        attributes["type"] == "win32"
        and attributes["name"] == "Kestrove"
        and attributes["version"] == "1.25.0.0"
        and _architecture_fits(attributes["processorArchitecture"], machine)
    )
    return ok, f"identity {attributes}"


def no_execution_level(root, machine):
    """Any requested level, even the user's own, switches off the system's redirection of the program's
    writes, and with it the settings file of a copy under Program Files."""
    levels = []
    for namespace in TRUST_NAMESPACES:
        path = "/".join(
            f"{{{namespace}}}{tag}"
            for tag in ("trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel")
        )
        levels += [element.get("level") for element in root.findall(path)]
    return not levels, f"requested execution levels {levels}"


def common_controls(root, machine):
    path = f"{{{ASM_V1}}}dependency/{{{ASM_V1}}}dependentAssembly/{{{ASM_V1}}}assemblyIdentity"
    for dependency in root.findall(path):
        if dependency.get("name") != COMMON_CONTROLS["name"]:
            continue
        attributes = _attributes(dependency, (*COMMON_CONTROLS, "processorArchitecture"))
        ok = all(attributes[key] == value for key, value in COMMON_CONTROLS.items()) and _architecture_fits(
            attributes["processorArchitecture"], machine
        )
        return ok, f"dependency {attributes}"
    return False, "no dependency on the common controls"


def dpi_awareness(root, machine):
    settings = f"{{{ASM_V3}}}application/{{{ASM_V3}}}windowsSettings"
    declared = root.findall(f"{settings}/{{{SETTINGS_2005}}}dpiAware")
    if len(declared) != 1:
        return False, f"{len(declared)} dpiAware settings"
    # Where the later setting is present, newer systems read it instead.
    if root.findall(f"{settings}/{{{SETTINGS_2016}}}dpiAwareness"):
        return False, "a dpiAwareness setting overrides dpiAware"
    value = (declared[0].text or "").strip()
    return value.lower() == "true", f"dpiAware is {value!r}"


def supported_systems(root, machine):
    path = f"{{{COMPATIBILITY}}}compatibility/{{{COMPATIBILITY}}}application/{{{COMPATIBILITY}}}supportedOS"
    declared = {(element.get("Id") or "").lower() for element in root.findall(path)}
    missing = [name for guid, name in SUPPORTED_OS.items() if guid not in declared]
    unknown = sorted(declared - set(SUPPORTED_OS))
    return not missing and not unknown, f"missing {missing}, unknown {unknown}"


RULES = [
    ("manifest identity Kestrove 1.25.0.0 for the image's architecture", identity),
    ("manifest requests no execution level, so the system virtualises its writes", no_execution_level),
    ("manifest binds the common controls 6.0", common_controls),
    ("manifest declares system DPI awareness", dpi_awareness),
    ("manifest declares Vista, 7, 8, 8.1 and 10/11", supported_systems),
]
