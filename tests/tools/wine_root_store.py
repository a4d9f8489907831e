"""A test CA as a .reg file that puts it in a Wine prefix's machine root store.

Schannel's verdict under Wine is crypt32's, which reads the root store from
the registry: `wine reg import` of this file before the program starts makes
the prefix trust the CA.
    wine_root_store.py CA_PEM OUT_REG
"""
import hashlib
import ssl
import sys


def root_store_reg(ca_pem, path):
    # A serialised certificate element: property 32 (the encoded
    # certificate), a reserved 1, the length, the DER bytes.
    with open(ca_pem) as f:
        der = ssl.PEM_cert_to_DER_cert(f.read())
    blob = (32).to_bytes(4, "little") + (1).to_bytes(4, "little") + len(der).to_bytes(4, "little") + der
    sha1 = hashlib.sha1(der).hexdigest().upper()
    with open(path, "w") as f:
        f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\"
                + sha1 + "]\n\"Blob\"=hex:" + ",".join("%02x" % b for b in blob) + "\n")


if __name__ == "__main__":
    root_store_reg(sys.argv[1], sys.argv[2])
