#!/usr/bin/env python3
"""Writes the demo mailbox: the numbered .eml files beside this script.

    assets/demo/make_demo.py

Every message and every attachment is made up here, so the mailbox can be rebuilt and
changed without any outside file. The "programs" are short byte strings that only look
like the start of a Windows executable and say what they are; nothing in them runs. The
clean messages carry no `name="` anywhere but in real attachments, because the analysis
takes any line holding one for the start of an attachment.

Files end their lines with LF; the POP3 server sends them with CR LF. Standard library
only; the output is the same on every run.
"""

import base64
import io
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
TO = "Demo Account <demo@example.com>"
NOTICE = b"Not a program: a made-up sample for the Quillet demo mailbox. It does nothing.\0"


# --- attachments ----------------------------------------------------------------------

def filler(size, seed):
    """Bytes that stand in for code: a fixed pattern, the same on every run."""
    return bytes((i * 37 + seed * 11) & 0x7F for i in range(size))


def fake_executable(imports):
    """The two-letter mark of a Windows executable, the notice, and a table of names
    shaped like an import list."""
    return b"MZ\x90\x00\x03\x00\x00\x00" + NOTICE + filler(96, 1) + b"PE\0\0" + \
        b"\0".join(imports) + b"\0" + filler(160, 2)


def office_document():
    """The eight-byte mark of an Office document file, then plain text."""
    return bytes.fromhex("d0cf11e0a1b11ae1") + bytes(24) + \
        b"Budget draft 2025 - sample for the Quillet demo mailbox. Not a real document.\0" + \
        filler(120, 3)


def pdf_document():
    """A one-page PDF saying one line, with a correct cross-reference table."""
    text = b"BT /F1 18 Tf 72 720 Td (Invoice 2025-0412: 3 x poster print, EUR 84.00) Tj ET"
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
        b"/Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        b"<< /Length %d >>\nstream\n" % len(text) + text + b"\nendstream",
    ]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    return bytes(out)


def zip_archive():
    """Two short text files, stored uncompressed with a fixed date."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
        for name, text in (
            ("route.txt", "Day 1: Bergen to Voss by train.\nDay 2: Voss to Flam by bus.\n"),
            ("packing.txt", "Rain jacket, walking boots, camera, charger.\n"),
        ):
            info = zipfile.ZipInfo(name, date_time=(2025, 5, 2, 9, 30, 0))
            archive.writestr(info, text)
    return buffer.getvalue()


VBSCRIPT = (b"' Sample for the Quillet demo mailbox: shows one message and ends.\r\n"
            b"MsgBox \"Your parcel is on its way.\", vbInformation, \"Parcel service\"\r\n")

REGISTRY = (b"Windows Registry Editor Version 5.00\r\n\r\n"
            b"[HKEY_CURRENT_USER\\Software\\Example\\QuilletDemo]\r\n"
            b"\"Colour\"=\"green\"\r\n")


# --- messages -------------------------------------------------------------------------

def headers(sender, subject, date, ident, content_type):
    return [
        "Date: " + date,
        "From: " + sender,
        "To: " + TO,
        "Subject: " + subject,
        "Message-ID: <%s@example.org>" % ident,
        "MIME-Version: 1.0",
        "Content-Type: " + content_type,
    ]


def text_part(text, subtype="plain", disposition=None):
    lines = ["Content-Type: text/%s; charset=us-ascii" % subtype,
             "Content-Transfer-Encoding: 7bit"]
    if disposition:
        lines.append("Content-Disposition: " + disposition)
    return lines + [""] + text.strip("\n").split("\n")


def attachment_part(name, mime, data):
    """Headers naming the file, then base64 in lines of 76 characters and an empty line."""
    body = base64.encodebytes(data).decode("ascii").rstrip("\n").split("\n")
    return [
        'Content-Type: %s; name="%s"' % (mime, name),
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename="%s"' % name,
        "",
    ] + body + [""]


def multipart(head, boundary, parts):
    lines = head + ["", "This is a multi-part message in MIME format.", ""]
    for part in parts:
        lines += ["--" + boundary] + part
    return lines + ["--" + boundary + "--", ""]


def with_attachment(sender, subject, date, ident, text, name, mime, data):
    boundary = "=_quillet_demo_" + ident
    head = headers(sender, subject, date, ident,
                   'multipart/mixed; boundary="%s"' % boundary)
    return multipart(head, boundary, [text_part(text), attachment_part(name, mime, data)])


def plain_message():
    return headers("Marta Lindqvist <marta.lindqvist@example.org>", "Lunch on Friday?",
                   "Mon, 5 May 2025 09:12:40 +0200", "lunch-0505",
                   "text/plain; charset=us-ascii") + ["", """\
Hi,

shall we try the new place by the river on Friday? They open at half
past eleven, so if we leave at a quarter past we should get a table by
the window.

Marta
"""]


HTML = """\
<!DOCTYPE html>
<html>
<body style="font-family: sans-serif">
<h1>New in the reading room</h1>
<p>This month we have added <b>forty new titles</b> to the travel shelf,
and the <a href="https://www.example.org/events">story hour</a> moves to
Saturday mornings.</p>
<p>See you soon,<br>The Riverside Library</p>
</body>
</html>
"""


def html_message():
    boundary = "=_quillet_demo_news"
    head = headers('"Riverside Library" <news@riverside-library.example.org>',
                   "New in the reading room this month", "Tue, 6 May 2025 07:00:00 +0000",
                   "news-0506", 'multipart/alternative; boundary="%s"' % boundary)
    plain = """\
New in the reading room

This month we have added forty new titles to the travel shelf, and the
story hour moves to Saturday mornings: https://www.example.org/events

See you soon,
The Riverside Library
"""
    return multipart(head, boundary, [text_part(plain), text_part(HTML, "html")])


def inline_message():
    boundary = "=_quillet_demo_minutes"
    head = headers("Tomasz Nowak <t.nowak@example.com>", "Minutes of Tuesday's meeting",
                   "Wed, 7 May 2025 16:45:03 +0200", "minutes-0507",
                   'multipart/mixed; boundary="%s"' % boundary)
    cover = "Hello all,\n\nthe minutes are below, as agreed.\n\nTomasz\n"
    minutes = """\
Minutes, 6 May 2025
1. The garden day is moved to 24 May.
2. Helena collects the offers for the new fence.
3. Next meeting: 3 June, 7 pm, in the community hall.
"""
    return multipart(head, boundary, [text_part(cover), text_part(minutes, "plain", "inline")])


MESSAGES = {
    "01-lunch-plain.eml": plain_message,
    "02-library-html.eml": html_message,
    "03-minutes-inline.eml": inline_message,
    "04-invoice-pdf.eml": lambda: with_attachment(
        "Harbour Print Accounts <accounts@harbour-print.example.com>", "Invoice 2025-0412",
        "Thu, 8 May 2025 10:02:11 +0100", "invoice-0508",
        "Dear customer,\n\nplease find our invoice attached.\n\nKind regards,\nHarbour Print\n",
        "invoice-2025-0412.pdf", "application/pdf", pdf_document()),
    "05-trip-zip.eml": lambda: with_attachment(
        "Jonas Berg <jonas.berg@example.org>", "Our route for the trip",
        "Thu, 8 May 2025 21:17:55 +0200", "trip-0508",
        "Hi,\n\nhere are the route and the packing list, zipped.\n\nJonas\n",
        "trip-notes.zip", "application/zip", zip_archive()),
    "06-netpatch-wsock.eml": lambda: with_attachment(
        "Service Desk <servicedesk@example.com>", "Urgent: network update for your PC",
        "Fri, 9 May 2025 03:41:09 +0000", "netpatch-0509",
        "Your network connection needs an update.\nRun the attached program today.\n",
        "netpatch.exe", "application/octet-stream",
        fake_executable([b"KERNEL32.dll", b"WSOCK32.dll", b"connect", b"send", b"recv"])),
    "07-planner-exe.eml": lambda: with_attachment(
        "Jonas Berg <jonas.berg@example.org>", "The little planner tool I mentioned",
        "Fri, 9 May 2025 12:30:00 +0200", "planner-0509",
        "Hi,\n\nthis is the planner I use for the club's rota.\n\nJonas\n",
        "planner.exe", "application/octet-stream",
        fake_executable([b"KERNEL32.dll", b"USER32.dll", b"MessageBoxA", b"ExitProcess"])),
    "08-invoice-double.eml": lambda: with_attachment(
        '"Billing Department" <billing@example.com>', "Your unpaid invoice",
        "Sat, 10 May 2025 02:14:37 +0000", "unpaid-0510",
        "Your invoice is overdue. Open the attached invoice at once.\n",
        "invoice.pdf.exe", "application/octet-stream",
        fake_executable([b"KERNEL32.dll", b"ExitProcess"])),
    "09-parcel-vbs.eml": lambda: with_attachment(
        '"Parcel Service" <noreply@parcels.example.com>', "Your parcel could not be delivered",
        "Sat, 10 May 2025 08:05:00 +0000", "parcel-0510",
        "We could not deliver your parcel.\nOpen the attached file to track it.\n",
        "tracking.vbs", "text/vbscript", VBSCRIPT),
    "10-budget-xls.eml": lambda: with_attachment(
        "Helena Quist <helena.quist@example.org>", "Budget draft for next year",
        "Sun, 11 May 2025 18:22:41 +0200", "budget-0511",
        "Hello,\n\nthe draft budget is attached; comments welcome before Thursday.\n\nHelena\n",
        "budget-2025.xls", "application/vnd.ms-excel", office_document()),
    "11-display-reg.eml": lambda: with_attachment(
        "Support Team <support@example.com>", "Fix for the display problem",
        "Mon, 12 May 2025 11:11:11 +0000", "display-0512",
        "Double-click the attached file to fix the display problem.\n",
        "display-fix.reg", "text/plain", REGISTRY),
}


def main():
    for name, build in MESSAGES.items():
        text = "\n".join(build())
        if not text.endswith("\n"):
            text += "\n"
        with open(os.path.join(HERE, name), "w", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
